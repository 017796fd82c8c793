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
#include <optional>

namespace {

void avvisa(const QString& testo)
{
    ui::msgBox(testo, ui::vbOKOnly | ui::vbExclamation, AppTitle());
}

// A report that has run already (a caller looked at its pages) is not run again.
bool esegui(report::Report& rpt, Avanzamento& avanzamento)
{
    return rpt.hasRun() || ImpaginaConAvanzamento(rpt, &avanzamento);
}

bool stampa(report::Report& rpt, bool dialogo, Avanzamento& avanzamento)
{
    const report::ProgressHandler prima = rpt.progressHandler();
    struct Ripristina {
        report::Report& rpt;
        const report::ProgressHandler& prima;
        ~Ripristina() { rpt.setProgressHandler(prima); }
    } ripristina{rpt, prima};
    try {
        if (dialogo)
            avanzamento.nascondi();
        avanzamento.invioStampante();
        rpt.setProgressHandler(avanzamento.gestore());
        return report::ReportPrinter::print(rpt, dialogo);
    } catch (const core::Error& e) {
        avanzamento.nascondi();
        avvisa(QStringLiteral("Stampa non riuscita.\n") + e.text());
    } catch (const std::exception& e) {
        avanzamento.nascondi();
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
    std::optional<Avanzamento> proprio;
    Avanzamento& avanzamento = uscita.avanzamento
                                   ? *uscita.avanzamento
                                   : proprio.emplace(Avanzamento::perModo(uscita.modo, rpt.printer().deviceName));
    if (!esegui(rpt, avanzamento))
        return esito;
    if (!uscita.nessunDato.isEmpty() && rpt.pages().rowCount == 0) {
        avanzamento.nascondi();
        avvisa(uscita.nessunDato);
        return esito;
    }
    switch (uscita.modo) {
    case kModoStampa:
        esito.riuscito = stampa(rpt, uscita.dialogoStampante, avanzamento);
        break;
    case kModoAnteprima:
        avanzamento.nascondi();
        esito.anteprima = apriAnteprima(rpt, uscita.nomeAnteprima);
        esito.riuscito = true;
        break;
    default:
        esito.riuscito = EsportaReport(rpt, uscita.modo, &avanzamento);
        break;
    }
    return esito;
}
