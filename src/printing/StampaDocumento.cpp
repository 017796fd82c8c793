#include "printing/StampaDocumento.h"

#include "domain/PrintSql.h"
#include "output/ProduciReport.h"
#include "platform/core/Error.h"
#include "platform/report/ReportPreview.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MsgBoxStyle.h"
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

// A document that cannot be laid out is told here, framed for the editor.
EsitoReport produci(report::Report& rpt, const UscitaReport& uscita)
{
    try {
        return ProduciReport(rpt, uscita);
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Impossibile impaginare il documento.\n") + e.text());
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Impossibile impaginare il documento.\n") + QString::fromLocal8Bit(e.what()));
    }
    return {};
}

} // namespace

QString SqlStampaDocumento(std::int32_t fatId)
{
    return documentPrintSql(fatId);
}

std::optional<report::Report> StampaDocumento(std::int32_t sezId, std::int32_t docType, const QString& sConn,
                                              const QString& sSQL, const QString& sFmtImporti, const QString& sFmtQuantita,
                                              const report::ProgressHandler& progress)
{
    try {
        finclsTarvix motore;
        return motore.Start(sezId, docType, sConn, sSQL, sFmtImporti, sFmtQuantita, progress);
    } catch (const report::Cancelled&) {
        // The user stopped it: nothing to tell.
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
    UscitaReport uscita;
    uscita.modo = kModoAnteprima;
    uscita.nomeAnteprima = QStringLiteral("finarpFatBase");
    return produci(copia, uscita).anteprima;
}

bool StampaReport(report::Report& rpt)
{
    UscitaReport uscita;
    uscita.modo = kModoStampa;
    uscita.dialogoStampante = true;
    return produci(rpt, uscita).riuscito;
}

bool EsportaPdf(report::Report& rpt)
{
    UscitaReport uscita;
    uscita.modo = kModoPdf;
    return produci(rpt, uscita).riuscito;
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
