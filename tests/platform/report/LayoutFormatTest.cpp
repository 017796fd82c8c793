#include "ReportTestSupport.h"

#include "platform/core/Error.h"
#include "platform/report/LayoutFormat.h"
#include "platform/report/ReportError.h"

#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace report::test {
namespace {

// A layout where every member differs from its default, so a member the
// format forgets shows as an inequality.
ReportLayout everyPropertySet()
{
    ReportLayout layout = sampleReport(sampleLines()).layout();
    layout.page.paperWidth = 12240;
    layout.page.paperHeight = 15840;
    layout.page.orientation = Orientation::Landscape;
    layout.page.margins = {567.5, 850, 1133, 1417};
    layout.printWidth = 9876.5;
    auto& s = layout.section(QStringLiteral("Dettaglio"));
    s.visible = false;
    s.canGrow = false;
    s.newPage = NewPage::BeforeAfter;
    s.backStyle = BackStyle::Opaque;
    s.backColor = QColor(10, 20, 30);
    auto& c = s.addControl(QStringLiteral("DDActiveReports2.Shape"), QStringLiteral("shpBox"));
    c.left = 12.25;
    c.top = 7;
    c.width = 333;
    c.height = 444;
    c.visible = false;
    c.caption = QStringLiteral("àèìòù \"citato\" {graffe}");
    c.dataField = QStringLiteral("Netto dovuto");
    c.outputFormat = QStringLiteral("dd\\/mm\\/yy");
    c.font = {QStringLiteral("Times New Roman"), 8.25, true, true, true, true};
    c.foreColor = QColor(1, 2, 3);
    c.backColor = QColor(4, 5, 6, 128);
    c.backStyle = BackStyle::Opaque;
    c.lineColor = QColor(7, 8, 9);
    c.lineWeight = 2.5;
    c.alignment = HorizontalAlignment::Center;
    c.verticalAlignment = VerticalAlignment::Bottom;
    c.wordWrap = false;
    c.canGrow = true;
    c.summaryType = SummaryType::PageTotal;
    c.summaryFunc = SummaryFunc::Max;
    c.summaryRunning = SummaryRunning::All;
    c.summaryGroup = QStringLiteral("Testa");
    c.shapeStyle = ShapeStyle::RoundRectangle;
    c.picture = samplePicture();
    c.sizeMode = PictureSizeMode::Stretch;
    c.checked = true;
    c.tag = QStringLiteral("x");
    return layout;
}

TEST(LayoutFormat, SavedAndLoadedAgainIsEqual)
{
    const ReportLayout original = everyPropertySet();
    const QByteArray bytes = LayoutFormat::write(original);
    const ReportLayout loaded = LayoutFormat::read(bytes);
    EXPECT_EQ(loaded, original);
    EXPECT_EQ(LayoutFormat::write(loaded), bytes);

    // Through a report object and a file, as the program stores layouts.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarvix_m0.rpx"));
    Report a;
    a.setLayout(original);
    a.saveLayout(path);
    Report b;
    b.loadLayout(path);
    EXPECT_EQ(b.layout(), original);
    EXPECT_EQ(b.saveLayout(), a.saveLayout());
}

TEST(LayoutFormat, GoldenFileLoadsAsTheSampleLayout)
{
    // The stored text shows in review when the format changes.
    const ReportLayout sample = sampleReport(sampleLines()).layout();
    QFile golden(dataPath(QStringLiteral("sample_layout.rpx")));
    if (qEnvironmentVariableIsSet("CORVESSA_UPDATE_GOLDEN")) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly));
        golden.write(LayoutFormat::write(sample));
        golden.close();
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray bytes = golden.readAll();
    EXPECT_EQ(LayoutFormat::read(bytes), sample);
    EXPECT_EQ(LayoutFormat::write(sample), bytes);
}

TEST(LayoutFormat, BytesThatAreNotALayoutAreAnError)
{
    const QByteArray valid = LayoutFormat::write(sampleReport(sampleLines()).layout());
    auto replaced = [&](const char* from, const char* to) { return QByteArray(valid).replace(from, to); };
    // Bytes with a NUL inside: their length is that of the literal, without its terminator.
    static constexpr char kBinary[] = "\x00\x01\xff\xfe garbage";
    const struct {
        const char* what;
        QByteArray bytes;
        long number;
    } cases[] = {
        {"empty", QByteArray(), ErrorNumber::NotALayout},
        {"binary", QByteArray(kBinary, sizeof kBinary - 1), ErrorNumber::NotALayout},
        {"other JSON", QByteArray("{\"a\": 1}"), ErrorNumber::NotALayout},
        {"JSON array", QByteArray("[1,2,3]"), ErrorNumber::NotALayout},
        {"truncated", valid.left(valid.size() / 2), ErrorNumber::NotALayout},
        {"newer version", replaced("\"version\": 1", "\"version\": 2"), ErrorNumber::UnsupportedVersion},
        {"wrong type", replaced("\"height\": 285,", "\"height\": \"alta\","), ErrorNumber::NotALayout},
        {"unknown control", replaced("\"type\": \"Line\"", "\"type\": \"Barcode\""), ErrorNumber::NotALayout},
        {"unknown section", replaced("\"kind\": \"Detail\"", "\"kind\": \"Colonna\""), ErrorNumber::NotALayout},
        {"bands out of order", replaced("\"kind\": \"ReportHeader\"", "\"kind\": \"ReportFooter\""), ErrorNumber::NotALayout},
        {"bad enum", replaced("\"newPage\": 1", "\"newPage\": 9"), ErrorNumber::NotALayout},
        {"enum beyond int", replaced("\"orientation\": ", ("\"orientation\": " + std::string(112, '9')).c_str()),
         ErrorNumber::NotALayout},
        {"fractional enum", replaced("\"orientation\": ", "\"orientation\": 1.5, \"spare\": "), ErrorNumber::NotALayout},
    };
    for (const auto& c : cases) {
        Report report;
        const QByteArray before = report.saveLayout();
        try {
            report.loadLayout(c.bytes);
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const core::Error& e) {
            EXPECT_EQ(e.number(), c.number) << c.what;
            EXPECT_FALSE(e.description().isEmpty()) << c.what;
        }
        EXPECT_EQ(report.saveLayout(), before) << c.what << ": the layout changed";
    }
}

TEST(LayoutFormat, MissingFileIsAnErrorInItalian)
{
    Report report;
    try {
        report.loadLayout(QStringLiteral("/nonexistent/tarvix_m0.rpx"));
        FAIL() << "loaded";
    } catch (const core::Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::FileNotReadable);
        EXPECT_TRUE(e.description().contains(QStringLiteral("tarvix_m0.rpx")));
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Impossibile leggere")));
    }
}

TEST(LayoutFormat, ControlPropertiesByNameForTheDesigner)
{
    ReportSection s;
    auto& label = s.addControl(QStringLiteral("DDActiveReports2.Label"));
    EXPECT_EQ(label.name, QStringLiteral("Label1"));
    EXPECT_EQ(s.addControl(ControlKind::Label).name, QStringLiteral("Label2"));
    auto& c = s.control(QStringLiteral("label1"));
    c.setProperty(QStringLiteral("Font.Bold"), true);
    c.setProperty(QStringLiteral("Font.Size"), 12);
    c.setProperty(QStringLiteral("BackColor"), 0x0000FF); // BGR: red
    c.setProperty(QStringLiteral("VerticalAlignment"), 1);
    c.setProperty(QStringLiteral("Caption"), QStringLiteral("Totale"));
    EXPECT_TRUE(c.font.bold);
    EXPECT_EQ(c.font.size, 12);
    EXPECT_EQ(c.backColor, QColor(255, 0, 0));
    EXPECT_EQ(c.property(QStringLiteral("BackColor")).toInt(), 0x0000FF);
    EXPECT_EQ(c.verticalAlignment, VerticalAlignment::Middle);
    EXPECT_EQ(c.caption, QStringLiteral("Totale"));
    EXPECT_TRUE(QStringLiteral("Label_Field_Checkbox").contains(c.typeName()));
    EXPECT_THROW(c.setProperty(QStringLiteral("Alignment"), 7), core::Error);
    EXPECT_THROW(c.setProperty(QStringLiteral("Nonsense"), 1), core::Error);
    EXPECT_THROW(s.addControl(QStringLiteral("DDActiveReports2.Chart")), core::Error);
    EXPECT_THROW(s.control(QStringLiteral("Missing")), core::Error);
}

} // namespace
} // namespace report::test
