#include "output/comRepLib.h"

#include "common/FormLifetime.h"
#include "output/EsportaReport.h"
#include "output/comfrmPrintProgress.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPrinter.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QPointer>
#include <optional>

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
    Avanzamento avanzamento(Avanzamento::perModo(kModoStampa, rpt.printer().deviceName));
    if (!ImpaginaConAvanzamento(rpt, &avanzamento))
        return false;
    avanzamento.invioStampante();
    const report::ProgressHandler prima = rpt.progressHandler();
    rpt.setProgressHandler(avanzamento.gestore());
    try {
        report::ReportPrinter::print(rpt, false);
    } catch (...) {
        rpt.setProgressHandler(prima);
        throw;
    }
    rpt.setProgressHandler(prima);
    return true;
}

bool ImpaginaConAvanzamento(report::Report& rpt, Avanzamento* avanzamento)
{
    std::optional<Avanzamento> proprio;
    if (!avanzamento)
        avanzamento = &proprio.emplace(Avanzamento::perModo(kModoStampa, rpt.printer().deviceName));
    const report::ProgressHandler prima = rpt.progressHandler();
    rpt.setProgressHandler(avanzamento->gestore());
    bool annullato = false;
    try {
        rpt.run();
    } catch (const report::Cancelled&) {
        annullato = true;
    } catch (...) {
        rpt.setProgressHandler(prima);
        throw;
    }
    rpt.setProgressHandler(prima);
    // A click that came after the last row still counts.
    QApplication::processEvents();
    if (annullato || avanzamento->annullato()) {
        rpt.unload();
        return false;
    }
    return true;
}

// ---- the progress window ---------------------------------------------------------

namespace {

// Often enough to keep the window painting and hear "Annulla" at once; seldom
// enough to cost nothing next to the rows.
constexpr int kIntervalloMs = 50;

} // namespace

QString Avanzamento::perModo(int modo, const QString& stampante)
{
    if (modo == kModoStampa)
        return QStringLiteral("Stampa del documento su '")
               + (stampante.isEmpty() ? report::ReportPrinter::defaultPrinterName() : stampante) + QStringLiteral("'");
    if (modo == kModoAnteprima)
        return QStringLiteral("Anteprima del documento");
    const FormatoEsportazione* formato = FormatoDi(modo);
    return QStringLiteral("Esportazione in ") + (formato ? formato->nome : QString());
}

Avanzamento::Avanzamento(const QString& dove) : m_finestra(new comfrmPrintProgress())
{
    m_finestra->setAttribute(Qt::WA_DeleteOnClose, false);
    m_finestra->setWindowModality(Qt::ApplicationModal);
    m_finestra->Annullato = false;
    m_finestra->lblPrintWhere->setText(dove);
    m_finestra->lblPage->setText(QStringLiteral("Lettura dei dati in corso"));
    m_finestra->show();
    QApplication::processEvents();
    m_ultimo.start();
}

Avanzamento::~Avanzamento()
{
    unloadForm(m_finestra);
}

comfrmPrintProgress* Avanzamento::finestra() const
{
    return m_finestra.data();
}

report::ProgressHandler Avanzamento::gestore()
{
    return [this](const report::Progress& p) { return avanza(p); };
}

bool Avanzamento::annullato() const
{
    return m_annullato || !m_finestra || m_finestra->Annullato;
}

void Avanzamento::nascondi()
{
    if (m_finestra)
        m_finestra->hide();
}

void Avanzamento::mostra()
{
    if (m_finestra && !annullato()) {
        m_finestra->show();
        QApplication::processEvents();
    }
}

void Avanzamento::invioStampante()
{
    if (!m_finestra)
        return;
    m_finestra->cmdCancel->setEnabled(false);
    m_finestra->lblPage->setText(QStringLiteral("Invio alla stampante"));
    QApplication::processEvents();
}

bool Avanzamento::avanza(const report::Progress& p)
{
    // A new stage is shown at once: a short writing stage would otherwise end
    // between two looks and never be seen nor cancelled.
    const bool nuovaFase = p.stage != m_fase;
    m_fase = p.stage;
    if (nuovaFase || m_ultimo.elapsed() >= kIntervalloMs) {
        if (m_finestra) {
            if (p.stage == report::Progress::Stage::Writing) {
                m_finestra->lblPage->setText(QStringLiteral("Pagina %1 di %2").arg(p.page).arg(p.pages));
                m_finestra->lblPercent->setText(QStringLiteral("%1%").arg(p.pages > 0 ? p.page * 100 / p.pages : 0));
            } else if (p.page > 0) {
                m_finestra->lblPage->setText(QStringLiteral("Paginazione in corso: pagina %1").arg(p.page));
            } else {
                m_finestra->lblPage->setText(QStringLiteral("Lettura dei dati: %1 documenti").arg(p.rows));
            }
        }
        QApplication::processEvents();
        m_ultimo.restart();
    }
    m_annullato = annullato();
    return !m_annullato;
}
