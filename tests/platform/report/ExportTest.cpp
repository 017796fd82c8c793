#include "ReportTestSupport.h"

#include "platform/core/Error.h"
#include "platform/report/ExportFilter.h"
#include "platform/report/ReportError.h"
#include "platform/report/ReportPrinter.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace report::test {
namespace {

QString readText(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(f.readAll());
}

bool matches(const QString& text, const char* pattern)
{
    return QRegularExpression(QString::fromUtf8(pattern)).match(text).hasMatch();
}

class Exports : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        report = sampleReport(sampleLines());
        report.control(QStringLiteral("lblTitolo")).caption = QStringLiteral("Elenco prestazioni della città");
        report.run();
    }
    QString exportTo(const char* classId, const QString& name)
    {
        auto filter = ExportFilter::create(QString::fromLatin1(classId));
        filter->setFileName(dir.filePath(name));
        filter->exportPages(report.pages());
        return filter->fileName();
    }
    void expectDocumentPages(const QStringList& pages)
    {
        ASSERT_EQ(pages.size(), 4);
        EXPECT_TRUE(pages[0].contains(QStringLiteral("Elenco prestazioni della città")));
        EXPECT_TRUE(pages[0].contains(QStringLiteral("Consulenza 1 ")));
        EXPECT_TRUE(matches(pages[0], "Pagina\\s+1\\s+di\\s+3"));
        EXPECT_TRUE(matches(pages[1], "Pagina\\s+2\\s+di\\s+3"));
        EXPECT_TRUE(matches(pages[2], "Totale documento\\s+6\\.234,23"));
        EXPECT_TRUE(matches(pages[3], "Pagina\\s+1\\s+di\\s+1"));
        EXPECT_TRUE(matches(pages[3], "Trasferta\\s+123,46"));
        EXPECT_TRUE(matches(pages[3], "Totale stampa\\s+6\\.607,68"));
        EXPECT_FALSE(pages[3].contains(QStringLiteral("Consulenza")));
    }
    QTemporaryDir dir;
    Report report;
};

TEST_F(Exports, PdfHasRealTextAndOnePagePerReportPage)
{
    expectDocumentPages(pdfPages(exportTo(ExportFilter::kPdfClassId, QStringLiteral("report.pdf"))));
}

TEST_F(Exports, PrintingToAFileGivesTheSamePages)
{
    report.printer().outputFileName = dir.filePath(QStringLiteral("printed.pdf"));
    ReportPrinter::setPrintDialogHandler([](QPrinter&) { return true; });
    EXPECT_TRUE(ReportPrinter::print(report, true));
    expectDocumentPages(pdfPages(report.printer().outputFileName));

    // A cancelled dialog prints nothing.
    report.printer().outputFileName = dir.filePath(QStringLiteral("cancelled.pdf"));
    ReportPrinter::setPrintDialogHandler([](QPrinter&) { return false; });
    EXPECT_FALSE(ReportPrinter::print(report, true));
    EXPECT_FALSE(QFile::exists(report.printer().outputFileName));
    ReportPrinter::setPrintDialogHandler(nullptr);

    report.printer().outputFileName.clear();
    report.printer().deviceName = QStringLiteral("Nessuna stampante con questo nome");
    EXPECT_THROW(ReportPrinter::print(report, false), core::Error);
}

TEST_F(Exports, APrintOutputHandlerStandsInForThePrinters)
{
    QString device;
    int pages = 0;
    ReportPrinter::setPrintOutputHandler([&](const ReportPages& p, const QString& name) {
        device = name;
        pages = p.count();
    });
    report.printer().deviceName = QStringLiteral("Nessuna stampante con questo nome");
    EXPECT_TRUE(ReportPrinter::print(report, false));
    EXPECT_EQ(device, QStringLiteral("Nessuna stampante con questo nome"));
    EXPECT_EQ(pages, 4);

    // A print to a file still writes the file.
    device.clear();
    report.printer().outputFileName = dir.filePath(QStringLiteral("to-file.pdf"));
    EXPECT_TRUE(ReportPrinter::print(report, false));
    EXPECT_TRUE(device.isEmpty());
    expectDocumentPages(pdfPages(report.printer().outputFileName));
    ReportPrinter::setPrintOutputHandler(nullptr);
}

TEST_F(Exports, HtmlIsOneFileWithAllPages)
{
    const QString html = readText(exportTo(ExportFilter::kHtmlClassId, QStringLiteral("report.html")));
    EXPECT_EQ(html.count(QStringLiteral("<div class=\"page\"")), 4);
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Stampa prestazioni</title>")));
    EXPECT_TRUE(html.contains(QStringLiteral(">Elenco prestazioni della città<")));
    EXPECT_TRUE(html.contains(QStringLiteral(">Consulenza 100<")));
    EXPECT_TRUE(html.contains(QStringLiteral(">6.607,68<")));
    EXPECT_TRUE(html.contains(QStringLiteral("data:image/png;base64,")));
    // Page 4 holds the second document only.
    const QString last = html.mid(html.indexOf(QStringLiteral("id=\"page4\"")));
    EXPECT_TRUE(last.contains(QStringLiteral(">Parere scritto<")));
    EXPECT_FALSE(last.contains(QStringLiteral(">Consulenza")));
}

TEST_F(Exports, RtfHasTheTextsAndAPageBreakBetweenPages)
{
    const QString rtf = readText(exportTo(ExportFilter::kRtfClassId, QStringLiteral("report.rtf")));
    EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_TRUE(rtf.trimmed().endsWith(QLatin1Char('}')));
    EXPECT_EQ(rtf.count(QStringLiteral("\\page\n")), 3);
    EXPECT_TRUE(rtf.contains(QStringLiteral(" Elenco prestazioni della citt\\u224?\\par}")));
    EXPECT_TRUE(rtf.contains(QStringLiteral(" Consulenza 42\\par}")));
    EXPECT_TRUE(rtf.contains(QStringLiteral(" 6.607,68\\par}")));
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\pngblip")));
    // Braces balance, so a reader sees one document.
    int depth = 0;
    for (int i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        depth += rtf[i] == QLatin1Char('{') ? 1 : rtf[i] == QLatin1Char('}') ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
}

TEST_F(Exports, ExcelHasNumbersAsNumbersInColumnsByPosition)
{
    const QString path = exportTo(ExportFilter::kExcelClassId, QStringLiteral("report.xlsx"));
    const QString strings = QString::fromUtf8(zipMember(path, QStringLiteral("xl/sharedStrings.xml")));
    const QString sheet = QString::fromUtf8(zipMember(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    EXPECT_TRUE(strings.contains(QStringLiteral(">Consulenza 1<")));
    EXPECT_TRUE(strings.contains(QStringLiteral(">Elenco prestazioni della città<")));
    // Amounts are numeric cells, not text.
    EXPECT_FALSE(strings.contains(QStringLiteral("6.607,68")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>6607.6817</v>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<v>123.4567</v>")));
    // Descriptions in column A, amounts (left edge 6000 twips) in their own column on the same row.
    const QRegularExpression row(QStringLiteral("<row r=\"(\\d+)\"[^>]*>(.*?)</row>"));
    int rowsWithAmount = 0;
    for (auto it = row.globalMatch(sheet); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(2).contains(QStringLiteral("<v>123.4567</v>"))) {
            ++rowsWithAmount;
            EXPECT_TRUE(m.captured(2).contains(QStringLiteral("r=\"A") + m.captured(1) + QLatin1Char('"')));
        }
    }
    EXPECT_EQ(rowsWithAmount, 1);
}

TEST_F(Exports, ACellThatCannotBeWrittenFailsTheExcelExport)
{
    // Longer than a sheet cell holds; every row after it writes well.
    report.control(QStringLiteral("lblTitolo")).caption = QString(40000, QLatin1Char('x'));
    report.run();
    EXPECT_THROW(exportTo(ExportFilter::kExcelClassId, QStringLiteral("report.xlsx")), core::Error);
}

TEST_F(Exports, ExportingLeavesTheReportAsItWas)
{
    const QByteArray layout = report.saveLayout();
    const int pages = report.pages().count();
    for (const char* id : {ExportFilter::kPdfClassId, ExportFilter::kExcelClassId, ExportFilter::kRtfClassId,
                           ExportFilter::kHtmlClassId})
        exportTo(id, QStringLiteral("out"));
    EXPECT_EQ(report.saveLayout(), layout);
    EXPECT_EQ(report.pages().count(), pages);
}

TEST(ExportFilters, CreatedByClassIdentityAndFailingCleanly)
{
    EXPECT_NE(ExportFilter::create(QStringLiteral("a31cc8ee-a0be-11d2-aca7-00c04fa372bc")), nullptr);
    try {
        ExportFilter::create(QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
        ADD_FAILURE() << "created";
    } catch (const core::Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::UnknownExportFilter);
    }
    Report report = sampleReport(sampleLines());
    report.run();
    for (const char* id : {ExportFilter::kPdfClassId, ExportFilter::kExcelClassId, ExportFilter::kRtfClassId,
                           ExportFilter::kHtmlClassId}) {
        auto filter = ExportFilter::create(QString::fromLatin1(id));
        EXPECT_THROW(filter->exportPages(report.pages()), core::Error) << id << ": no file name";
        filter->setFileName(QStringLiteral("/nonexistent-folder/out.file"));
        EXPECT_THROW(filter->exportPages(report.pages()), core::Error) << id;
    }
}

} // namespace
} // namespace report::test
