#pragma once

#include "common/FormLifetime.h"

#include <QDialog>
#include <QVector>
#include <array>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace grid {
class GridEx;
}
namespace ui {
class DateBox;
}

// The options dialog: the working date, and the last number of a numbering
// series of the current professional for the working year. Each entry point
// shows only its own page.
class frmOptions : public QDialog, public DefaultInstance<frmOptions> {
    Q_OBJECT
public:
    // The counters page.
    static void ApriContab();
    // The working-date page.
    static void ApriWorkingDate();
    static bool IsLoaded() { return exists(); }

    enum Pagina { Generale = 0, Numerazione = 1, Stampanti = 2, DataLavoro = 3 };

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class DefaultInstance<frmOptions>;
    frmOptions();
    void mostraPagina(Pagina pagina);
    void fuocoPagina();
    void CaricaContatori();
    bool SalvaContatore();
    void CaricaDataLavoro();
    void SalvaDataLavoro();
    void mostraContatore(std::int32_t valore);
    void txtSezione_Change();
    void UpDown1_Click(int passo);
    void cmdData_Click(int index);
    void cmdSalva_Click();
    void cmdAnnulla_Click();

    QTabWidget* tbs;
    QLineEdit* txtSezione;
    QLineEdit* txtProg;
    QToolButton* m_su;
    QToolButton* m_giu;
    QLabel* lblAnno;
    grid::GridEx* gexCounters;
    ui::DateBox* dtp;
    QPushButton* cmdData[2];
    QPushButton* cmdSalva;
    QPushButton* cmdAnnulla;

    std::array<bool, 4> m_cambiato{};
    bool m_salvato = false;
    // The counter as it was read for the series shown: what the user saw.
    std::int32_t m_visto = 0;
};
