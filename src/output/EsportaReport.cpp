#include "output/EsportaReport.h"

#include "platform/core/Error.h"
#include "platform/report/ExportFilter.h"
#include "platform/report/Report.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MsgBoxStyle.h"
#include "output/EsportaPagine.h"
#include "output/comRepLib.h"
#include "output/SceltaFile.h"

#include <exception>

namespace {

const FormatoEsportazione kFormati[] = {
    {kModoExcel, QStringLiteral(".xlsx"), QStringLiteral("Microsoft Excel (*.xlsx)|*.xlsx"),
     QString::fromLatin1(report::ExportFilter::kExcelClassId), QStringLiteral("Excel")},
    {kModoRtf, QStringLiteral(".rtf"), QStringLiteral("Rich Text Format (*.rtf)|*.rtf"),
     QString::fromLatin1(report::ExportFilter::kRtfClassId), QStringLiteral("RTF")},
    {kModoPdf, QStringLiteral(".pdf"), QStringLiteral("Acrobat reader (*.pdf)|*.pdf"),
     QString::fromLatin1(report::ExportFilter::kPdfClassId), QStringLiteral("PDF")},
    {kModoHtml, QStringLiteral(".html"), QStringLiteral("Formato HTML (*.html)|*.html"),
     QString::fromLatin1(report::ExportFilter::kHtmlClassId), QStringLiteral("HTML")},
};

void avvisa(const QString& testo)
{
    ui::msgBox(testo, ui::vbOKOnly | ui::vbExclamation);
}

} // namespace

const FormatoEsportazione* FormatoDi(int modo)
{
    for (const auto& f : kFormati)
        if (f.modo == modo)
            return &f;
    return nullptr;
}

bool EsportaReport(report::Report& rpt, int modo, Avanzamento* avanzamento)
{
    const FormatoEsportazione* formato = FormatoDi(modo);
    if (!formato)
        return false;
    const QString errore = QStringLiteral("Esportazione in %1 non riuscita.\n").arg(formato->nome);
    try {
        if (!rpt.hasRun() && !(avanzamento ? ImpaginaConAvanzamento(rpt, avanzamento) : (rpt.run(), true)))
            return false;
    } catch (const core::Error& e) {
        if (avanzamento)
            avanzamento->nascondi();
        avvisa(errore + e.description());
        return false;
    }

    if (avanzamento)
        avanzamento->nascondi();
    const QString file = ScegliFileEsportazione(rpt, formato->estensione, formato->filtro);
    if (file.isEmpty())
        return false;
    if (avanzamento)
        avanzamento->mostra();

    try {
        EsportaPagine(rpt, formato->classe, file, avanzamento ? avanzamento->gestore() : report::ProgressHandler());
        return true;
    } catch (const report::Cancelled&) {
        return false; // the user stopped it: EsportaPagine left no file
    } catch (const core::Error& e) {
        if (avanzamento)
            avanzamento->nascondi();
        avvisa(errore + e.description());
    } catch (const std::exception& e) {
        if (avanzamento)
            avanzamento->nascondi();
        avvisa(errore + QString::fromLocal8Bit(e.what()));
    }
    return false;
}
