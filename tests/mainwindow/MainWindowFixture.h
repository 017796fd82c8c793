#pragma once

#include "support/ProgramFixture.h"

#include <QString>
#include <QStringList>
#include <ostream>

class frmMain;
class QAction;
class QWidget;
namespace grid {
class GridEx;
}

// The main window over the upgraded database, with one installed printer, the
// calls to other windows recorded instead of made, and helpers to fill the
// database and drive the window as a user does.
class MainWindowFixture : public ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Section 2, a professional of its own besides the administrator.
    void addSection2();
    // Returns the new cliId.
    int addClient(const QString& nome, int sezId, bool shared = false, const QString& localita = QStringLiteral("Roma"));
    int addPayment(const QString& descrizione, int sezId, bool shared = false);
    // Returns the new fatId.
    int addDocument(int sezId, int tipo, const QDate& data, int cliId, int numero = 1, bool pagata = false,
                    const QString& prefisso = QString());
    int count(const QString& sql);

    // Visualizza, with the window active so keys reach the focused control.
    frmMain* open();
    QAction* action(const QString& name) const;
    grid::GridEx* grid() const;
    QWidget* child(const QString& name) const;
    // The view bar's item for the view, clicked.
    void clickViewBar(int view);
    // The values of a column of the list, in display order.
    QStringList columnTexts(int column) const;

    frmMain* m_main = nullptr;
    QStringList m_calls;
};

// Readable failures: texts print as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
