#pragma once

#include "common/FormLifetime.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QFrame;
class QStackedLayout;

namespace grid {
class GridEx;
}

// The table browser: any table of the database in an editable grid, for the
// administrator who must mend a row by hand. Every edit goes through the same
// optimistic checks as the rest of the program: a row changed meanwhile by
// another user is refused with a message, never overwritten.
class comfrmManData : public QDialog, public DefaultInstance<comfrmManData> {
    Q_OBJECT
public:
    // Shows the browser modal over owner on the database of the connection string.
    static void Mostra(QWidget* owner, const QString& connectionString);

    // The user tables of the database, in catalog order; the engine's own are left out.
    static QStringList TabelleUtente(const QString& connectionString);

protected:
    void done(int result) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class DefaultInstance<comfrmManData>;
    comfrmManData();
    void EliminaRighe();
    void Form_Load(const QString& connectionString);
    void cmbTables_Click();

    QComboBox* cmbTables;
    grid::GridEx* gexTable;
    QFrame* picBottom;
    QStackedLayout* m_area;
};
