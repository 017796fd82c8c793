#include "ReportTestSupport.h"

#include "platform/ui/ScopedDialogHandler.h"
#include "platform/ui/MsgBoxStyle.h"
#include "platform/ui/ScriptedDialogs.h"

#include "platform/report/ReportPreview.h"
#include "platform/report/ReportPrinter.h"

#include <QAction>
#include <QComboBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace report::test {
namespace {

// The set-up the program makes before a preview: Italian captions, hidden
// tools, and the two export tools when the report can be exported.
void setUpViewer(Report& report, bool exportTools)
{
    ViewerToolbar& tb = report.viewerToolbar();
    for (int index : {0, 1, 3, 4, 5, 6, 18, 19, 20})
        tb.tool(index).visible = false;
    tb.tool(2).caption = QStringLiteral("Stampa");
    tb.setZoomCaption(1, QStringLiteral("Larghezza"));
    tb.setZoomCaption(2, QStringLiteral("Pagina"));
    if (exportTools) {
        tb.addTool(QStringLiteral("Esporta in Excel"));
        tb.addTool(QStringLiteral("Esporta in PDF"));
    }
    tb.setVisible(true);
}

TEST(Preview, ToolbarFollowsTheViewerSetUp)
{
    for (bool exportTools : {false, true}) {
        Report report = sampleReport(sampleLines());
        setUpViewer(report, exportTools);
        ReportPreview preview(report);
        preview.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));

        EXPECT_EQ(report.viewerToolbar().count(), kStandardToolCount + (exportTools ? 2 : 0));
        for (int i = 0; i < kStandardToolCount; ++i) {
            const bool hidden = QList<int>{0, 1, 3, 4, 5, 6, 18, 19, 20}.contains(i);
            EXPECT_EQ(preview.toolAction(i)->isVisible(), !hidden) << "tool " << i;
        }
        EXPECT_EQ(preview.toolAction(2)->text(), QStringLiteral("Stampa"));
        EXPECT_EQ(preview.zoomList()->itemText(1), QStringLiteral("Larghezza"));
        EXPECT_EQ(preview.zoomList()->itemText(2), QStringLiteral("Pagina"));
        EXPECT_TRUE(preview.toolBar()->isVisible());
        if (exportTools) {
            EXPECT_EQ(preview.toolAction(21)->text(), QStringLiteral("Esporta in Excel"));
            EXPECT_EQ(preview.toolAction(22)->text(), QStringLiteral("Esporta in PDF"));
            QSignalSpy clicked(&preview, &ReportPreview::toolClicked);
            preview.toolAction(22)->trigger();
            ASSERT_EQ(clicked.count(), 1);
            EXPECT_EQ(clicked.at(0).at(0).toInt(), 22);
        } else {
            EXPECT_EQ(preview.toolAction(21), nullptr);
        }
        preview.close();
    }
}

TEST(Preview, PagesZoomAndPrintFromTheToolbar)
{
    Report report = sampleReport(sampleLines());
    setUpViewer(report, false);
    ReportPreview preview(report);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    EXPECT_EQ(preview.pageCount(), 4);
    preview.triggerTool(static_cast<int>(StandardTool::NextPage));
    preview.triggerTool(static_cast<int>(StandardTool::NextPage));
    EXPECT_EQ(preview.currentPage(), 2);
    preview.triggerTool(static_cast<int>(StandardTool::PreviousPage));
    EXPECT_EQ(preview.currentPage(), 1);
    for (int i = 0; i < 10; ++i)
        preview.triggerTool(static_cast<int>(StandardTool::NextPage));
    EXPECT_EQ(preview.currentPage(), 3);

    preview.zoomList()->setCurrentIndex(5); // 150%
    EXPECT_DOUBLE_EQ(preview.zoomFactor(), 1.5);
    preview.triggerTool(static_cast<int>(StandardTool::ZoomIn));
    EXPECT_GT(preview.zoomFactor(), 1.5);
    preview.zoomList()->setCurrentIndex(ViewerToolbar::kZoomWholePage);
    EXPECT_LT(preview.zoomFactor(), 1.0);

    // "Stampa" prints the preview's own pages through the dialog seam.
    QTemporaryDir dir;
    preview.report().printer().outputFileName = dir.filePath(QStringLiteral("preview.pdf"));
    int dialogs = 0;
    ReportPrinter::setPrintDialogHandler([&dialogs](QPrinter&) { return ++dialogs > 0; });
    preview.toolAction(static_cast<int>(StandardTool::Print))->trigger();
    ReportPrinter::setPrintDialogHandler(nullptr);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(pdfPages(dir.filePath(QStringLiteral("preview.pdf"))).size(), 4);

    // A printer that cannot be used is told in a message; the preview stays.
    ui::ScriptedDialogs answers;
    ui::ScopedDialogHandler scope(answers);
    answers.answerMessageBox(ui::vbOK);
    preview.report().printer().outputFileName.clear();
    preview.report().printer().deviceName = QStringLiteral("Nessuna stampante con questo nome");
    ReportPrinter::setPrintDialogHandler([](QPrinter&) { return true; });
    preview.toolAction(static_cast<int>(StandardTool::Print))->trigger();
    ReportPrinter::setPrintDialogHandler(nullptr);
    ASSERT_EQ(answers.messages().size(), 1);
    EXPECT_TRUE(answers.messages().at(0).startsWith(QStringLiteral("Stampa non riuscita.\n"))) << answers.messages().at(0).toStdString();
    EXPECT_TRUE(preview.isVisible());
    preview.close();
}

TEST(Preview, ASecondPreviewNeverChangesTheFirst)
{
    Report report = sampleReport(sampleLines());
    ReportPreview first(report);
    report.control(QStringLiteral("lblTitolo")).caption = QStringLiteral("Cambiato");
    report.pageSettings().paperHeight = 8000;
    ReportPreview second(report);
    EXPECT_EQ(first.pageCount(), 4);
    EXPECT_GT(second.pageCount(), 4);
    EXPECT_EQ(first.report().control(QStringLiteral("lblTitolo")).caption, QStringLiteral("Elenco prestazioni"));
    EXPECT_FALSE(report.hasRun()); // the caller's report was not run by the previews
}

} // namespace
} // namespace report::test
