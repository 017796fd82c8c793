#include "ReportTestSupport.h"

#include "platform/core/Error.h"

namespace report::test {
namespace {

// The texts of the items of a control, page by page.
std::vector<QStringList> textsOf(const ReportPages& pages, const QString& controlName)
{
    std::vector<QStringList> out(pages.count());
    for (int p = 0; p < pages.count(); ++p)
        for (const auto& item : pages.page(p).items)
            if (item.controlName == controlName)
                out[p] << item.text;
    return out;
}

int countOf(const ReportPages& pages, const QString& controlName)
{
    int n = 0;
    for (const auto& texts : textsOf(pages, controlName))
        n += texts.size();
    return n;
}

class SampleReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        report = sampleReport(sampleLines());
        report.run();
    }
    Report report;
};

TEST_F(SampleReport, EachDocumentStartsAPageAndCountsItsOwnPages)
{
    const ReportPages& pages = report.pages();
    ASSERT_EQ(pages.count(), 4);
    const auto number = textsOf(pages, QStringLiteral("PAGINA"));
    const auto count = textsOf(pages, QStringLiteral("PAGINE"));
    const QStringList expected[][2] = {{{"1"}, {"3"}}, {{"2"}, {"3"}}, {{"3"}, {"3"}}, {{"1"}, {"1"}}};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(number[p], expected[p][0]) << "page " << p + 1;
        EXPECT_EQ(count[p], expected[p][1]) << "page " << p + 1;
    }
    // The document header is repeated on the pages it runs onto; the report
    // header stands only on the first page.
    const auto doc = textsOf(pages, QStringLiteral("txtfatId"));
    EXPECT_EQ(doc[0], QStringList{"1"});
    EXPECT_EQ(doc[1], QStringList{"1"});
    EXPECT_EQ(doc[2], QStringList{"1"});
    EXPECT_EQ(doc[3], QStringList{"2"});
    EXPECT_EQ(countOf(pages, QStringLiteral("lblTitolo")), 1);
    EXPECT_EQ(textsOf(pages, QStringLiteral("lblTitolo"))[0].size(), 1);
    EXPECT_EQ(countOf(pages, QStringLiteral("lblDescrizione")), 4); // the page header on every page
}

TEST_F(SampleReport, OneDetailBandPerDeliveredRowAndSumsPerGroupAndInTotal)
{
    const ReportPages& pages = report.pages();
    EXPECT_EQ(countOf(pages, QStringLiteral("txtDescrizione")), 103);
    QStringList vatTotals;
    for (const auto& t : textsOf(pages, QStringLiteral("txtTotIva")))
        vatTotals << t;
    EXPECT_EQ(vatTotals, (QStringList{"2.259,14", "3.975,09", "373,46"}));
    EXPECT_EQ(textsOf(pages, QStringLiteral("txtTotDoc"))[2], QStringList{"6.234,23"});
    EXPECT_EQ(textsOf(pages, QStringLiteral("txtTotDoc"))[3], QStringList{"373,46"});
    EXPECT_EQ(textsOf(pages, QStringLiteral("txtTotale"))[3], QStringList{"6.607,68"});
    // A zero amount prints blank with the print pattern.
    const auto descriptions = textsOf(pages, QStringLiteral("txtDescrizione"))[3];
    const auto amounts = textsOf(pages, QStringLiteral("txtImporto"))[3];
    ASSERT_EQ(descriptions.size(), amounts.size());
    EXPECT_EQ(amounts[descriptions.indexOf(QStringLiteral("Omaggio"))], QStringLiteral(" "));
    // The picture control shows the report picture.
    int pictures = 0;
    for (const auto& page : pages.pages)
        for (const auto& item : page.items)
            pictures += item.type == PageItem::Type::Image && item.image == samplePicture();
    EXPECT_EQ(pictures, 4); // the document header on each page (repeated too)
}

TEST_F(SampleReport, BandsStayInsideThePageMargins)
{
    const auto& margins = report.layout().page.margins;
    for (const auto& page : report.pages().pages) {
        for (const auto& item : page.items) {
            if (item.type == PageItem::Type::Line)
                continue;
            EXPECT_GE(item.rect.top(), margins.top - 0.01) << item.controlName.toStdString();
            EXPECT_LE(item.rect.bottom(), page.height - margins.bottom + 0.01) << item.controlName.toStdString();
        }
    }
}

TEST(Pagination, HandlersChangeTheRunNotTheLayout)
{
    Report report = sampleReport(sampleLines());
    const QByteArray before = report.saveLayout();
    // An export look: the page header only on page 1, a line hidden, a caption set per document.
    report.setSectionHandler(QStringLiteral("PageHeader"), [](Report& r) {
        r.section(QStringLiteral("PageHeader")).visible = r.pageNumber() == 1;
        r.control(QStringLiteral("Line2")).visible = false;
    });
    report.setSectionHandler(QStringLiteral("Testa"), [](Report& r) {
        r.control(QStringLiteral("lblDocumento")).caption =
            QStringLiteral("Fattura n. ") + r.fields().value(QStringLiteral("fatId")).toString();
    });
    report.run();
    EXPECT_EQ(countOf(report.pages(), QStringLiteral("lblDescrizione")), 1);
    EXPECT_EQ(countOf(report.pages(), QStringLiteral("Line2")), 0);
    EXPECT_EQ(textsOf(report.pages(), QStringLiteral("lblDocumento"))[3], QStringList{"Fattura n. 2"});
    EXPECT_EQ(report.saveLayout(), before);
    EXPECT_EQ(report.control(QStringLiteral("lblDocumento")).caption, QStringLiteral("Documento"));
    EXPECT_EQ(report.pageNumber(), 0);

    // A second run starts from the same layout and gives the same pages.
    const int pagesFirst = report.pages().count();
    report.run();
    EXPECT_EQ(report.pages().count(), pagesFirst);
    EXPECT_EQ(countOf(report.pages(), QStringLiteral("txtDescrizione")), 103);
}

TEST(Pagination, ACopyIsAReportOfItsOwn)
{
    Report first = sampleReport(sampleLines());
    first.run();
    Report second = first;
    second.control(QStringLiteral("lblTitolo")).caption = QStringLiteral("Altro titolo");
    second.fields().add(QStringLiteral("Extra"));
    second.run();
    EXPECT_EQ(textsOf(first.pages(), QStringLiteral("lblTitolo"))[0], QStringList{"Elenco prestazioni"});
    EXPECT_EQ(textsOf(second.pages(), QStringLiteral("lblTitolo"))[0], QStringList{"Altro titolo"});
    EXPECT_EQ(first.control(QStringLiteral("lblTitolo")).caption, QStringLiteral("Elenco prestazioni"));
    EXPECT_FALSE(first.fields().contains(QStringLiteral("Extra")));
}

TEST(Pagination, FetchEndsWhenTheHandlerLeavesTheFlagSet)
{
    Report report;
    report.fields().add(QStringLiteral("n"));
    report.section(QStringLiteral("Detail")).addControl(ControlKind::Field, QStringLiteral("txtN")).dataField =
        QStringLiteral("n");
    int calls = 0;
    report.setFetchData([&calls](Report& r, bool& eof) {
        EXPECT_TRUE(eof); // the flag arrives set
        if (++calls <= 3) {
            eof = false;
            r.fields().setValue(QStringLiteral("N"), std::int32_t(calls));
        }
    });
    report.run();
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(textsOf(report.pages(), QStringLiteral("txtN"))[0], (QStringList{"1", "2", "3"}));
    EXPECT_EQ(report.pages().rowCount, 3);

    // No data at all: headers and footers only, one page, and no row to tell.
    Report empty;
    empty.run();
    EXPECT_EQ(empty.pages().count(), 1);
    EXPECT_EQ(empty.pages().rowCount, 0);
}

TEST(Pagination, GroupValueSetWhileFetchingGroupsByInitial)
{
    // The client list grouped by the initial letter its fetch handler sets.
    Report report;
    auto layout = ReportLayout::standard();
    auto& header = layout.addGroup(QStringLiteral("ghOrderGroup"), QStringLiteral("GroupFooter1"), {}, 285, 0);
    header.addControl(ControlKind::Label, QStringLiteral("lblLetter"));
    layout.section(QStringLiteral("Detail")).addControl(ControlKind::Field, QStringLiteral("txtNome")).dataField =
        QStringLiteral("cliNome");
    report.setLayout(layout);
    report.fields().add(QStringLiteral("cliNome"));
    const QStringList names = {"Alfa", "Amici", "Bruno", "Carla", "Cesare"};
    auto next = std::make_shared<int>(0);
    report.setStartHandler([next](Report&) { *next = 0; });
    report.setFetchData([names, next](Report& r, bool& eof) {
        if (*next >= names.size())
            return;
        eof = false;
        const QString name = names[(*next)++];
        r.fields().setValue(QStringLiteral("cliNome"), name);
        r.setGroupValue(QStringLiteral("ghOrderGroup"), name.left(1));
    });
    report.setSectionHandler(QStringLiteral("ghOrderGroup"), [](Report& r) {
        r.control(QStringLiteral("lblLetter")).caption = r.fields().value(QStringLiteral("cliNome")).toString().left(1);
    });
    report.run();
    EXPECT_EQ(textsOf(report.pages(), QStringLiteral("lblLetter"))[0], (QStringList{"A", "B", "C"}));
}

TEST(Pagination, AnEmptyTextAndNullAreOneGroup)
{
    // A box left empty is stored as '' by some forms and as Null by others.
    Report report;
    auto layout = ReportLayout::standard();
    auto& header = layout.addGroup(QStringLiteral("ghOrderGroup"), QStringLiteral("GroupFooter1"), {}, 285, 0);
    header.addControl(ControlKind::Label, QStringLiteral("lblHeader")).caption = QStringLiteral("Gruppo");
    report.setLayout(layout);
    const std::vector<core::Variant> keys = {core::Variant::null(), core::Variant(QString()), core::Variant::null(),
                                             core::Variant(QStringLiteral("B"))};
    auto next = std::make_shared<size_t>(0);
    report.setStartHandler([next](Report&) { *next = 0; });
    report.setFetchData([keys, next](Report& r, bool& eof) {
        if (*next >= keys.size())
            return;
        eof = false;
        r.setGroupValue(QStringLiteral("ghOrderGroup"), keys[(*next)++]);
    });
    report.run();
    EXPECT_EQ(countOf(report.pages(), QStringLiteral("lblHeader")), 2);
}

TEST(Pagination, ErrorsOfAHandlerReachTheCallerAndLeaveTheReportUsable)
{
    Report report = sampleReport(sampleLines());
    const QByteArray before = report.saveLayout();
    report.setSectionHandler(QStringLiteral("Calce"), [](Report& r) { r.control(QStringLiteral("NonEsiste")); });
    EXPECT_THROW(report.run(), core::Error);
    EXPECT_FALSE(report.isRunning());
    EXPECT_EQ(report.saveLayout(), before);
    report.setSectionHandler(QStringLiteral("Calce"), nullptr);
    report.run();
    EXPECT_EQ(report.pages().count(), 4);
}

} // namespace
} // namespace report::test

namespace report::test {
namespace {

TEST(Pagination, MarginsPlaceTheBandsAndLongTextsGrowTheirBand)
{
    Report report;
    report.pageSettings().margins = {567, 850, 1133, 1417}; // 1, 1.5, 2 and 2.5 cm in twips
    auto& detail = report.section(QStringLiteral("Detail"));
    auto& text = detail.addControl(ControlKind::Field, QStringLiteral("txtNote"));
    text.dataField = QStringLiteral("note");
    text.left = 100;
    text.width = 1500;
    text.canGrow = true;
    auto& after = detail.addControl(ControlKind::Label, QStringLiteral("lblDopo"));
    after.caption = QStringLiteral("x");
    report.fields().add(QStringLiteral("note"));
    const QStringList notes = {QStringLiteral("breve"),
                               QStringLiteral("una nota molto lunga che non entra in una sola riga del campo"),
                               QStringLiteral("dopo")};
    auto next = std::make_shared<int>(0);
    report.setStartHandler([next](Report&) { *next = 0; });
    report.setFetchData([notes, next](Report& r, bool& eof) {
        if (*next < notes.size()) {
            eof = false;
            r.fields().setValue(QStringLiteral("note"), notes[(*next)++]);
        }
    });
    report.run();
    std::vector<QRectF> notesAt, labelsAt;
    for (const auto& item : report.pages().page(0).items) {
        if (item.controlName == QStringLiteral("txtNote"))
            notesAt.push_back(item.rect);
        if (item.controlName == QStringLiteral("lblDopo"))
            labelsAt.push_back(item.rect);
    }
    ASSERT_EQ(notesAt.size(), 3u);
    ASSERT_EQ(labelsAt.size(), 3u);
    const double pageHeaderHeight = report.section(QStringLiteral("PageHeader")).height;
    EXPECT_DOUBLE_EQ(notesAt[0].left(), 567 + 100);
    EXPECT_DOUBLE_EQ(notesAt[0].top(), 1133 + pageHeaderHeight);
    EXPECT_DOUBLE_EQ(notesAt[0].height(), 285); // fits: keeps its height
    EXPECT_GT(notesAt[1].height(), 2 * 285.0);  // wraps onto several lines
    // The band after the grown one starts below it.
    EXPECT_DOUBLE_EQ(notesAt[1].top(), notesAt[0].top() + 285);
    EXPECT_DOUBLE_EQ(notesAt[2].top(), notesAt[1].bottom());
    EXPECT_DOUBLE_EQ(labelsAt[2].top(), notesAt[2].top());
    EXPECT_EQ(report.pages().page(0).height, report.pageSettings().paperHeight);
}

} // namespace
} // namespace report::test
