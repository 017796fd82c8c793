#pragma once

#include "domain/ReportQueries.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVector>
#include <array>
#include <cstdint>
#include <map>

class Avanzamento;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace grid {
class GridEx;
}
namespace ui {
class DateBox;
}
namespace report {
class Report;
class ReportPreview;
}
namespace core {
class Variant;
}

// The report chooser: the seven reports of the program, the filters the
// chosen one reads, a printer, and six ways to run it (print, preview, or an
// export to Excel, RTF, PDF or HTML). One instance, modeless, without owner.
//
// Every run builds a report object of its own, so what one run set (the
// export look, hidden lines) never reaches the next; every report prints on
// the printer chosen here. Failures are told in Italian message boxes and the
// chooser stays usable.
class frmPrintReportMov : public QDialog {
    Q_OBJECT
public:
    // The default instance, created on first use.
    static frmPrintReportMov* instance();
    static bool isLoaded();
    static void Unload();

    // Opens the chooser with that printer selected.
    static void Stampa(const QString& NomeStampante);
    // Runs the report of the current grid row in the current mode.
    void EseguiStampa();

    // The queries of the reports for the filters as they stand.
    QString SqlDocumenti() const;
    QString SqlTotaliCliente() const;
    FiltriReport Filtri() const;
    // Writes the filter captions of the document list and the totals per client.
    void ImpostaFiltri(report::Report& rpt) const;

    // The report of the current row (Nessuno without one), the mode and the document type.
    IdReport ReportCorrente() const;
    int Modo() const { return m_modo; }
    int TipoDocumento() const { return m_tipo; }
    // The preview windows the chooser opened and that are still open.
    QList<report::ReportPreview*> Anteprime() const;

    grid::GridEx* GridEX1 = nullptr;
    QGroupBox* frmTipo = nullptr;
    std::array<QGroupBox*, 5> frmFilter{};
    // Indexes 0 to 2 (document type) and 4, 5 (unpaid or all); 3 is not used.
    std::array<QRadioButton*, 6> optview{};
    ui::DateBox* Dat1 = nullptr;
    ui::DateBox* Dat2 = nullptr;
    QComboBox* cmbCli = nullptr;
    QCheckBox* chkFilter = nullptr;
    QGroupBox* frmStampante = nullptr;
    QComboBox* cmbPrinters = nullptr;
    QPushButton* cmdPropPrinter = nullptr;
    QWidget* picButs = nullptr;
    QPushButton* cmdExp = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdPreview = nullptr;
    QMenu* expmnu = nullptr;
    std::map<int, QAction*> mnuexp; // 10 to 13

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    frmPrintReportMov();
    void createReportList();
    void createFilters();
    void createPrinterChoice();
    void createButtons();
    void createExportMenu();
    void layoutWindow();
    void connectCommands();

    void Form_Load();
    void Form_Unload();
    void optview_Click(int Index);
    void mnuexp_Click(int Index);
    void cmdExp_Click();
    void cmdOK_Click();
    void cmdPreview_Click();
    void cmdCancel_Click();
    void GridEX1_RowColChange();
    void GridEX1_DblClick();
    void GridEX1_UnboundReadData(int row, int column, core::Variant& value) const;
    void GridEX1_FetchIcon(int row, int column, int& iconIndex) const;

    void stampaDocumenti();
    report::Report preparaReport(IdReport id);
    void produci(report::Report& rpt, const QString& nome, bool documenti, Avanzamento* avanzamento = nullptr);

    struct RigaReport {
        int icona;
        IdReport id;
        QString titolo;
    };
    std::array<RigaReport, kNumeroReport> m_report{};
    int m_numReport = kNumeroReport;
    std::int16_t m_tipo = 0;
    std::int16_t m_modo = 0;
    QVector<std::int32_t> m_clienti;
    QVBoxLayout* m_pila = nullptr;
    QList<QPointer<report::ReportPreview>> m_anteprime;
};
