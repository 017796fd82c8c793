#include "printing/StampaDocumento.h"

#include "common/comRepLib.h"
#include "domain/PrintSql.h"
#include "platform/core/Error.h"
#include "platform/report/ExportFilter.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportPrinter.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MsgBoxStyle.h"
#include "printing/SceltaFile.h"
#include "printing/EsportaPagine.h"
#include "printing/finclsTarvix.h"
#include "startup/SharedState.h"

#include <exception>

namespace {

void avvisa(const QString& testo)
{
    ui::msgBox(testo, ui::vbOKOnly | ui::vbExclamation, AppTitle());
}

// The engine's own refusals read as they are; other errors show their number.
QString descrizione(const core::Error& e)
{
    return e.source() == finclsTarvix::kSorgente ? e.description() : e.text();
}

bool esegui(report::Report& rpt)
{
    if (rpt.hasRun())
        return true;
    try {
        rpt.run();
        return true;
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Impossibile impaginare il documento.\n") + e.text());
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Impossibile impaginare il documento.\n") + QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace

QString SqlStampaDocumento(std::int32_t fatId)
{
    return documentPrintSql(fatId);
}

std::optional<report::Report> StampaDocumento(std::int32_t sezId, std::int32_t docType, const QString& sConn,
                                              const QString& sSQL, const QString& sFmtImporti, const QString& sFmtQuantita)
{
    try {
        finclsTarvix motore;
        return motore.Start(sezId, docType, sConn, sSQL, sFmtImporti, sFmtQuantita);
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Impossibile preparare la stampa. ") + descrizione(e));
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Impossibile preparare la stampa. ") + QString::fromLocal8Bit(e.what()));
    }
    return std::nullopt;
}

report::ReportPreview* AnteprimaDocumento(const report::Report& rpt)
{
    report::Report copia = rpt;
    ImpostaViewer(copia, false);
    if (!esegui(copia))
        return nullptr;
    auto* anteprima = new report::ReportPreview(copia);
    anteprima->setObjectName(QStringLiteral("finarpFatBase"));
    anteprima->setAttribute(Qt::WA_DeleteOnClose);
    anteprima->setWindowTitle(copia.caption());
    anteprima->show();
    return anteprima;
}

bool StampaReport(report::Report& rpt)
{
    if (!esegui(rpt))
        return false;
    try {
        return report::ReportPrinter::print(rpt, true);
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Stampa non riuscita.\n") + e.text());
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Stampa non riuscita.\n") + QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool EsportaPdf(report::Report& rpt)
{
    if (!esegui(rpt))
        return false;
    const QString file = ScegliFileEsportazione(rpt, QStringLiteral(".pdf"), QStringLiteral("Acrobat reader (*.pdf)|*.pdf"));
    if (file.isEmpty())
        return false;

    try {
        EsportaPagine(rpt, QString::fromLatin1(report::ExportFilter::kPdfClassId), file);
        return true;
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Esportazione in PDF non riuscita.\n") + e.description());
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Esportazione in PDF non riuscita.\n") + QString::fromLocal8Bit(e.what()));
    }
    return false;
}

report::ReportPreview* AnteprimaFattura(std::int32_t fatId, std::int32_t fatTipo)
{
    auto rpt = StampaDocumento(session().sezId, fatTipo, session().dataConStr, SqlStampaDocumento(fatId));
    return rpt ? AnteprimaDocumento(*rpt) : nullptr;
}

bool StampaFattura(std::int32_t fatId, std::int32_t fatTipo)
{
    auto rpt = StampaDocumento(session().sezId, fatTipo, session().dataConStr, SqlStampaDocumento(fatId));
    return rpt && StampaReport(*rpt);
}

bool EsportaFatturaPdf(std::int32_t fatId, std::int32_t fatTipo)
{
    auto rpt = StampaDocumento(session().sezId, fatTipo, session().dataConStr, SqlStampaDocumento(fatId));
    return rpt && EsportaPdf(*rpt);
}
