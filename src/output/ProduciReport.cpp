#include "output/ProduciReport.h"

#include "output/comRepLib.h"
#include "platform/core/Error.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportPrinter.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/MsgBoxStyle.h"
#include "startup/SharedState.h"

#include <exception>

namespace {

void avvisa(const QString& testo)
{
    ui::msgBox(testo, ui::vbOKOnly | ui::vbExclamation, AppTitle());
}

// A report that has run already (a caller looked at its pages) is not run again.
bool esegui(report::Report& rpt, int modo)
{
    if (rpt.hasRun())
        return true;
    if (modo == kModoStampa)
        return ImpaginaConAvanzamento(rpt);
    rpt.run();
    return true;
}

bool stampa(report::Report& rpt, bool dialogo)
{
    try {
        return report::ReportPrinter::print(rpt, dialogo);
    } catch (const core::Error& e) {
        avvisa(QStringLiteral("Stampa non riuscita.\n") + e.text());
    } catch (const std::exception& e) {
        avvisa(QStringLiteral("Stampa non riuscita.\n") + QString::fromLocal8Bit(e.what()));
    }
    return false;
}

report::ReportPreview* apriAnteprima(const report::Report& rpt, const QString& nome)
{
    auto* anteprima = new report::ReportPreview(rpt);
    anteprima->setObjectName(nome);
    anteprima->setAttribute(Qt::WA_DeleteOnClose);
    anteprima->setWindowTitle(rpt.caption());
    anteprima->resize(900, 700);
    anteprima->show();
    return anteprima;
}

} // namespace

EsitoReport ProduciReport(report::Report& rpt, const UscitaReport& uscita)
{
    EsitoReport esito;
    const bool esportazione = uscita.modo != kModoStampa && uscita.modo != kModoAnteprima;
    if (esportazione && !FormatoDi(uscita.modo))
        return esito;
    if (!uscita.stampante.isEmpty())
        ImpostaStampante(rpt, core::Variant(uscita.stampante));
    if (uscita.modo == kModoAnteprima)
        ImpostaViewer(rpt, false);
    if (!esegui(rpt, uscita.modo))
        return esito;
    if (!uscita.nessunDato.isEmpty() && rpt.pages().rowCount == 0) {
        avvisa(uscita.nessunDato);
        return esito;
    }
    switch (uscita.modo) {
    case kModoStampa:
        esito.riuscito = stampa(rpt, uscita.dialogoStampante);
        break;
    case kModoAnteprima:
        esito.anteprima = apriAnteprima(rpt, uscita.nomeAnteprima);
        esito.riuscito = true;
        break;
    default:
        esito.riuscito = EsportaReport(rpt, uscita.modo);
        break;
    }
    return esito;
}
