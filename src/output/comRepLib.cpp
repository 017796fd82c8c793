#include "output/comRepLib.h"

#include "common/FormLifetime.h"
#include "output/comfrmPrintProgress.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPrinter.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>

namespace {

const QString kEsportaExcel = QStringLiteral("Esporta in Excel");
const QString kEsportaPdf = QStringLiteral("Esporta in PDF");

int indiceStrumento(const report::Report& rpt, const QString& caption)
{
    const report::ViewerToolbar& tb = rpt.viewerToolbar();
    for (int i = report::kStandardToolCount; i < tb.count(); ++i)
        if (tb.tool(i).caption == caption)
            return i;
    return -1;
}

} // namespace

void ImpostaViewer(report::Report& rpt, bool Esporta)
{
    report::ViewerToolbar& tb = rpt.viewerToolbar();
    for (int index : {0, 1, 3, 4, 5, 6, 18, 19, 20})
        tb.tool(index).visible = false;
    tb.tool(2).caption = QStringLiteral("Stampa");
    tb.setZoomCaption(1, QStringLiteral("Larghezza"));
    tb.setZoomCaption(2, QStringLiteral("Pagina"));
    // Twice on one report would add the tools twice.
    if (Esporta && indiceStrumento(rpt, kEsportaExcel) < 0) {
        tb.addTool(kEsportaExcel);
        tb.addTool(kEsportaPdf);
    }
    tb.setVisible(true);
}

int IndiceStrumentoEsportaExcel(const report::Report& rpt)
{
    return indiceStrumento(rpt, kEsportaExcel);
}

int IndiceStrumentoEsportaPdf(const report::Report& rpt)
{
    return indiceStrumento(rpt, kEsportaPdf);
}

void ImpostaStampante(report::Report& rpt, const core::Variant& NomeStampante)
{
    rpt.load();
    rpt.printer().deviceName = NomeStampante.toString();
}

bool StampaConAvanzamento(report::Report& rpt)
{
    if (!ImpaginaConAvanzamento(rpt))
        return false;
    report::ReportPrinter::print(rpt, false);
    return true;
}

bool ImpaginaConAvanzamento(report::Report& rpt)
{
    QPointer<comfrmPrintProgress> progress = new comfrmPrintProgress();
    progress->setAttribute(Qt::WA_DeleteOnClose, false);
    progress->Annullato = false;
    const QString dispositivo = rpt.printer().deviceName.isEmpty() ? report::ReportPrinter::defaultPrinterName()
                                                                     : rpt.printer().deviceName;
    progress->lblPrintWhere->setText(QStringLiteral("Stampa del documento su '") + dispositivo + QStringLiteral("'"));
    progress->lblPage->setText(QStringLiteral("Paginazione in corso"));
    progress->show();
    QApplication::processEvents();

    // The rows are fetched one by one: between them the window gets its events,
    // so "Annulla" is heard and ends the data early.
    const report::Report::FetchHandler original = rpt.fetchData();
    bool annullato = false;
    int righe = 0;
    rpt.setFetchData([&, original](report::Report& r, bool& eof) {
        if (original)
            original(r, eof);
        if (++righe % 50 == 0)
            QApplication::processEvents();
        if (progress && progress->Annullato) {
            annullato = true;
            eof = true;
        }
    });
    try {
        rpt.run();
    } catch (...) {
        rpt.setFetchData(original);
        unloadForm(progress);
        throw;
    }
    rpt.setFetchData(original);
    QApplication::processEvents();
    annullato = annullato || (progress && progress->Annullato);
    unloadForm(progress);
    if (annullato) {
        rpt.unload();
        return false;
    }
    return true;
}
