#include "output/ProduciReport.h"
#include "output/comRepLib.h"
#include "output/comfrmPrintProgress.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportPrinter.h"
#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/ScriptedDialogs.h"
#include "support/TestApplication.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A report of `rows` detail lines, each printing its number.
report::Report numberedReport(int rows, int* delivered)
{
    report::Report rpt;
    report::ReportSection& detail = rpt.layout().addSection(report::SectionKind::Detail, QStringLiteral("Dettaglio"), 300);
    report::ReportControl& field = detail.addControl(report::ControlKind::Field, QStringLiteral("fldN"));
    field.dataField = QStringLiteral("n");
    rpt.fields().add(QStringLiteral("n"));
    rpt.setStartHandler([delivered](report::Report&) { *delivered = 0; });
    rpt.setFetchData([rows, delivered](report::Report& r, bool& eof) {
        if (*delivered >= rows)
            return;
        r.fields().setValue(QStringLiteral("n"), core::Variant(++*delivered));
        eof = false;
    });
    return rpt;
}

// A report long to read and to write, as a year of documents is: `rows` lines
// of long text, each row a little slow to come.
report::Report longReport(int rows, int* delivered)
{
    report::Report rpt = numberedReport(rows, delivered);
    report::ReportSection& detail = *std::find_if(rpt.layout().sections.begin(), rpt.layout().sections.end(),
                                                  [](const auto& s) { return s.kind == report::SectionKind::Detail; });
    report::ReportControl& text = detail.addControl(report::ControlKind::Label, QStringLiteral("lblTesto"));
    text.caption = QStringLiteral("Prestazione professionale di consulenza fiscale e tributaria, ").repeated(2);
    text.left = 600;
    text.width = 9000;
    const report::Report::FetchHandler fetch = rpt.fetchData();
    rpt.setFetchData([fetch](report::Report& r, bool& eof) {
        fetch(r, eof);
        QThread::usleep(20);
    });
    return rpt;
}

comfrmPrintProgress* progressWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<comfrmPrintProgress*>(w); p && p->isVisible())
            return p;
    return nullptr;
}

// Watches the progress window as a user does: the first caption it shows,
// and a mouse click on "Annulla" once its page line starts with `quando`.
class Utente {
public:
    explicit Utente(QString quando = {}) : m_quando(std::move(quando))
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { guarda(); });
        m_timer.start();
    }
    QString dove;         // the caption of the first progress window seen
    QString pagina;       // its page line when Annulla was clicked
    bool cliccato = false;

private:
    void guarda()
    {
        comfrmPrintProgress* p = progressWindow();
        if (!p)
            return;
        if (dove.isEmpty())
            dove = p->lblPrintWhere->text();
        if (!cliccato && !m_quando.isEmpty() && p->lblPage->text().startsWith(m_quando)) {
            cliccato = true;
            pagina = p->lblPage->text();
            QTest::mouseClick(p->cmdCancel, Qt::LeftButton);
        }
    }
    QString m_quando;
    QTimer m_timer;
};

QList<report::ReportPreview*> anteprime()
{
    QList<report::ReportPreview*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<report::ReportPreview*>(w))
            out.append(p);
    return out;
}

} // namespace

TEST(ImpostaViewer, HidesTheToolsAndAddsTheExportToolsOnlyWhenAsked)
{
    testApplication();
    report::Report plain;
    ImpostaViewer(plain, false);
    const report::ViewerToolbar& tb = plain.viewerToolbar();
    for (int index : {0, 1, 3, 4, 5, 6, 18, 19, 20})
        EXPECT_FALSE(tb.tool(index).visible) << index;
    EXPECT_TRUE(tb.tool(2).visible);
    EXPECT_EQ(tb.tool(2).caption, QStringLiteral("Stampa"));
    EXPECT_EQ(tb.zoomCaptions().at(1), QStringLiteral("Larghezza"));
    EXPECT_EQ(tb.zoomCaptions().at(2), QStringLiteral("Pagina"));
    EXPECT_EQ(tb.count(), report::kStandardToolCount);
    EXPECT_EQ(IndiceStrumentoEsportaExcel(plain), -1);

    report::Report exporting;
    ImpostaViewer(exporting, true);
    ASSERT_EQ(exporting.viewerToolbar().count(), report::kStandardToolCount + 2);
    EXPECT_EQ(exporting.viewerToolbar().tool(report::kStandardToolCount).caption, QStringLiteral("Esporta in Excel"));
    EXPECT_EQ(exporting.viewerToolbar().tool(report::kStandardToolCount + 1).caption, QStringLiteral("Esporta in PDF"));
}

TEST(StampaConAvanzamento, PrintsAndNamesThePrinterInQuotes)
{
    testApplication();
    QTemporaryDir dir;
    int delivered = 0;
    report::Report rpt = numberedReport(30, &delivered);
    ImpostaStampante(rpt, core::Variant(QStringLiteral("Ufficio")));
    EXPECT_EQ(rpt.printer().deviceName, QStringLiteral("Ufficio"));
    rpt.printer().outputFileName = dir.filePath(QStringLiteral("stampa.pdf"));
    QString shown;
    QTimer::singleShot(0, [&] {
        if (comfrmPrintProgress* p = progressWindow())
            shown = p->lblPrintWhere->text();
    });
    EXPECT_TRUE(StampaConAvanzamento(rpt));
    EXPECT_EQ(shown, QStringLiteral("Stampa del documento su 'Ufficio'"));
    EXPECT_TRUE(QFileInfo(rpt.printer().outputFileName).size() > 0);
    EXPECT_EQ(progressWindow(), nullptr);
}

TEST(StampaConAvanzamento, AnnullaStopsThePaginationAndNothingIsPrinted)
{
    testApplication();
    QTemporaryDir dir;
    int delivered = 0;
    report::Report rpt = numberedReport(100000, &delivered);
    rpt.printer().outputFileName = dir.filePath(QStringLiteral("annullata.pdf"));
    QTimer::singleShot(0, [] {
        if (comfrmPrintProgress* p = progressWindow())
            p->cmdCancel->click();
    });
    EXPECT_FALSE(StampaConAvanzamento(rpt));
    EXPECT_LT(delivered, 100000);
    EXPECT_FALSE(QFileInfo::exists(rpt.printer().outputFileName));
}

// Annulla clicked while the pages are laid out, and while they are written:
// each mode stops with nothing printed, shown or written, and no message.
TEST(ProduciReport, AnnullaDuringTheRunOrTheWritingLeavesNothingBehind)
{
    testApplication();
    struct Caso {
        int modo;
        const char* quando;
        const char* dove;
    };
    const Caso casi[] = {
        {kModoPdf, "Paginazione in corso", "Esportazione in PDF"},
        {kModoPdf, "Pagina ", "Esportazione in PDF"},
        {kModoExcel, "Pagina ", "Esportazione in Excel"},
        {kModoHtml, "Paginazione in corso", "Esportazione in HTML"},
        {kModoAnteprima, "Paginazione in corso", "Anteprima del documento"},
        {kModoStampa, "Paginazione in corso", "Stampa del documento su 'Ufficio'"},
    };
    int stampate = 0;
    report::ReportPrinter::setPrintOutputHandler([&](const report::ReportPages&, const QString&) { ++stampate; });
    for (const Caso& c : casi) {
        SCOPED_TRACE(std::string(c.dove) + " / " + c.quando);
        QTemporaryDir dir;
        ui::ScriptedDialogs dialogs;
        ui::ScopedDialogHandler scope(dialogs);
        const QString file = dir.filePath(QStringLiteral("report"));
        if (c.modo != kModoStampa && c.modo != kModoAnteprima)
            dialogs.answerSaveFile(file);
        int delivered = 0;
        report::Report rpt = longReport(15000, &delivered);
        UscitaReport uscita;
        uscita.modo = c.modo;
        uscita.stampante = QStringLiteral("Ufficio");
        Utente utente(QString::fromLatin1(c.quando));
        const EsitoReport esito = ProduciReport(rpt, uscita);
        EXPECT_TRUE(utente.cliccato);
        EXPECT_EQ(utente.dove, QString::fromLatin1(c.dove));
        EXPECT_FALSE(esito.riuscito) << utente.pagina.toStdString();
        EXPECT_EQ(esito.anteprima, nullptr);
        EXPECT_TRUE(anteprime().isEmpty());
        EXPECT_EQ(stampate, 0);
        EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n').toStdString();
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
        EXPECT_EQ(progressWindow(), nullptr);
        for (report::ReportPreview* p : anteprime())
            delete p;
    }
    report::ReportPrinter::setPrintOutputHandler({});
}

// Without Annulla the same runs stand under the progress window and complete.
TEST(ProduciReport, EveryModeRunsUnderTheProgressWindow)
{
    testApplication();
    for (int modo : {kModoAnteprima, kModoRtf, kModoPdf}) {
        SCOPED_TRACE(modo);
        QTemporaryDir dir;
        ui::ScriptedDialogs dialogs;
        ui::ScopedDialogHandler scope(dialogs);
        const QString file = dir.filePath(QStringLiteral("report.out"));
        if (modo != kModoAnteprima)
            dialogs.answerSaveFile(file);
        int delivered = 0;
        report::Report rpt = numberedReport(200, &delivered);
        UscitaReport uscita;
        uscita.modo = modo;
        Utente utente;
        const EsitoReport esito = ProduciReport(rpt, uscita);
        EXPECT_TRUE(esito.riuscito);
        EXPECT_EQ(utente.dove, Avanzamento::perModo(modo, QString()));
        EXPECT_EQ(delivered, 200);
        EXPECT_EQ(progressWindow(), nullptr);
        if (modo == kModoAnteprima) {
            ASSERT_NE(esito.anteprima, nullptr);
            delete esito.anteprima;
        } else {
            EXPECT_GT(QFileInfo(file).size(), 0);
        }
    }
}
