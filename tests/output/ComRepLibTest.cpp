#include "output/comRepLib.h"
#include "output/comfrmPrintProgress.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPrinter.h"
#include "support/TestApplication.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
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

comfrmPrintProgress* progressWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<comfrmPrintProgress*>(w); p && p->isVisible())
            return p;
    return nullptr;
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
