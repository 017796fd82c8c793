#include "domain/VatSummary.h"
#include "support/Money.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct RowCase {
    const char* name;
    const char* amount;
    VatCode code;
    VatSettings settings;
    const char* surcharge;
    const char* taxable;
    const char* tax;
    const char* total;
    const char* withholding;
};

void PrintTo(const RowCase& c, std::ostream* os)
{
    *os << c.name;
}

class VatRow : public ::testing::TestWithParam<RowCase> {};

TEST_P(VatRow, GivesEveryColumnToTheCent)
{
    const RowCase& c = GetParam();
    const VatSummaryRow r = computeVatRow(money(c.amount), c.code, c.settings);
    EXPECT_EQ(r.amount, money(c.amount));
    EXPECT_EQ(r.surcharge, money(c.surcharge));
    EXPECT_EQ(r.taxable, money(c.taxable));
    EXPECT_EQ(r.tax, money(c.tax));
    EXPECT_EQ(r.total, money(c.total));
    EXPECT_EQ(r.withholding, money(c.withholding));
}

const VatSettings kExample{4, 20, 100, false};
const VatSettings kExampleOnSurcharge{4, 20, 100, true};

INSTANTIATE_TEST_SUITE_P(
    Cases, VatRow,
    ::testing::Values(
        // The worked example: one code at 20 %, surcharge 4 %, withholding 20 % on all of the base.
        RowCase{"Example", "1000", {"20", 20, false, false}, kExample, "40", "1040", "208", "1248", "200"},
        RowCase{"ExampleOnSurcharge", "1000", {"20", 20, false, false}, kExampleOnSurcharge, "40", "1040", "208", "1248", "208"},
        RowCase{"NoSurchargeCode", "1000", {"E", 20, true, false}, kExample, "0", "1000", "200", "1200", "200"},
        RowCase{"NoWithholdingCode", "1000", {"R", 20, false, true}, kExample, "40", "1040", "208", "1248", "0"},
        RowCase{"WithholdingOff", "1000", {"20", 20, false, false}, VatSettings{4, 0, 100, false}, "40", "1040", "208", "1248", "0"},
        // Ties go to the even cent on the double value: 0.125, 0.375, 3.125, 8.125.
        RowCase{"Tie0125", "0.625", {"20", 20, false, false}, VatSettings{}, "0", "0.625", "0.12", "0.745", "0"},
        RowCase{"Tie0375", "1.875", {"20", 20, false, false}, VatSettings{}, "0", "1.875", "0.38", "2.255", "0"},
        RowCase{"Tie3125", "15.625", {"20", 20, false, false}, VatSettings{}, "0", "15.625", "3.12", "18.745", "0"},
        RowCase{"Tie8125", "40.625", {"20", 20, false, false}, VatSettings{}, "0", "40.625", "8.12", "48.745", "0"},
        // Four decimals of a line total stay in the amount; only what is computed is rounded.
        RowCase{"FourDecimals", "250.9999", {"10", 10, false, false}, kExample, "10.04", "261.0399", "26.1", "287.1399", "50.2"},
        RowCase{"HalfBase", "1000", {"22", 22, false, false}, VatSettings{4, 20, 50, false}, "40", "1040", "228.8", "1268.8", "100"}),
    [](const ::testing::TestParamInfo<RowCase>& info) { return info.param.name; });

TEST(VatTotals, AddUpExactlyAndNetIsTotalLessWithholding)
{
    const VatSummaryRow a = computeVatRow(money("1000"), {"22", 22, false, false}, kExample);
    const VatSummaryRow b = computeVatRow(money("250.9999"), {"10", 10, false, false}, kExample);
    const DocumentTotals t = computeTotals({a, b});
    EXPECT_EQ(t.amount, money("1250.9999"));
    EXPECT_EQ(t.surcharge, money("50.04"));
    EXPECT_EQ(t.taxable, money("1301.0399"));
    EXPECT_EQ(t.tax, money("254.9"));
    EXPECT_EQ(t.total, money("1555.9399"));
    EXPECT_EQ(t.withholding, money("250.2"));
    EXPECT_EQ(t.net, money("1305.7399"));
    const DocumentTotals none = computeTotals({});
    EXPECT_EQ(none.net, core::Currency());
}

} // namespace

namespace {

// The VAT code table of every summary case, in its stored order.
const QVector<VatCode> kCodes = {
    {"10", 10, false, false},
    {"22", 22, false, false},
    {"E", 0, true, false},  // exempt: no surcharge
    {"R", 20, false, true}, // no withholding
};

struct Line {
    const char* code;
    const char* total;
};
// Expected row: code, amount, surcharge, taxable, tax, total, withholding.
struct Row {
    const char* code;
    const char* figures[6];
};
struct Change {
    VatRowAction action;
    const char* code;
};

struct SummaryCase {
    const char* name;
    std::vector<Line> lines;
    std::vector<Row> held; // rows the document holds before
    VatSettings settings;
    std::vector<Change> changes;
    std::vector<Row> rows;
    const char* totals[7]; // amount, surcharge, taxable, tax, total, withholding, net
};

void PrintTo(const SummaryCase& c, std::ostream* os)
{
    *os << c.name;
}

VatSummaryRow rowOf(const Row& r)
{
    VatSummaryRow row;
    row.code = QString::fromLatin1(r.code);
    row.amount = money(r.figures[0]);
    row.surcharge = money(r.figures[1]);
    row.taxable = money(r.figures[2]);
    row.tax = money(r.figures[3]);
    row.total = money(r.figures[4]);
    row.withholding = money(r.figures[5]);
    return row;
}

std::string text(const VatSummaryRow& r)
{
    return (r.code + QLatin1Char(':') + r.amount.toPlainString() + QLatin1Char('/') + r.surcharge.toPlainString()
            + QLatin1Char('/') + r.taxable.toPlainString() + QLatin1Char('/') + r.tax.toPlainString() + QLatin1Char('/')
            + r.total.toPlainString() + QLatin1Char('/') + r.withholding.toPlainString())
        .toStdString();
}

class VatSummaryCases : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(VatSummaryCases, GroupsTheLinesPerCodeAndSaysWhatBecomesOfEachRow)
{
    const SummaryCase& c = GetParam();
    QVector<VatLine> lines;
    for (const Line& l : c.lines)
        lines.push_back({QString::fromLatin1(l.code), money(l.total)});
    QVector<VatSummaryRow> held;
    for (const Row& r : c.held)
        held.push_back(rowOf(r));

    const VatSummary s = computeVatSummary(lines, kCodes, held, c.settings);

    std::vector<std::string> changes, expectedChanges;
    for (const VatRowChange& ch : s.changes)
        changes.push_back(std::to_string(static_cast<int>(ch.action)) + ' ' + ch.row.code.toStdString());
    for (const Change& ch : c.changes)
        expectedChanges.push_back(std::to_string(static_cast<int>(ch.action)) + ' ' + ch.code);
    EXPECT_EQ(changes, expectedChanges);

    std::vector<std::string> rows, expectedRows;
    for (const VatSummaryRow& r : s.rows)
        rows.push_back(text(r));
    for (const Row& r : c.rows)
        expectedRows.push_back(text(rowOf(r)));
    EXPECT_EQ(rows, expectedRows);
    // An added or changed row carries the figures of its row in the summary.
    for (const VatRowChange& ch : s.changes) {
        if (ch.action == VatRowAction::Remove)
            continue;
        const auto same = std::find_if(s.rows.begin(), s.rows.end(), [&](const VatSummaryRow& r) { return r.code == ch.row.code; });
        ASSERT_NE(same, s.rows.end());
        EXPECT_EQ(text(ch.row), text(*same));
    }

    const DocumentTotals& t = s.totals;
    const core::Currency got[7] = {t.amount, t.surcharge, t.taxable, t.tax, t.total, t.withholding, t.net};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(got[i], money(c.totals[i])) << "total " << i;
}

const VatSettings kStudio{4, 20, 100, false};
constexpr VatRowAction Add = VatRowAction::Add;
constexpr VatRowAction Update = VatRowAction::Update;
constexpr VatRowAction Remove = VatRowAction::Remove;

// Figures worked by hand: surcharge = amount x 4 %, taxable = amount + surcharge,
// VAT = taxable x rate, withholding = base x 100 % x 20 % (base: the amount, or
// the taxable with the surcharge), each rounded to the cent, ties to even.
INSTANTIATE_TEST_SUITE_P(
    Cases, VatSummaryCases,
    ::testing::Values(
        SummaryCase{"LinesOfOneCodeMakeOneRow",
                    {{"22", "100"}, {"10", "200"}, {"22", "50.5"}},
                    {},
                    kStudio,
                    {{Add, "10"}, {Add, "22"}},
                    {{"10", {"200", "8", "208", "20.8", "228.8", "40"}},
                     {"22", {"150.5", "6.02", "156.52", "34.43", "190.95", "30.1"}}},
                    {"350.5", "14.02", "364.52", "55.23", "419.75", "70.1", "349.65"}},
        SummaryCase{"ADeletedLineTakesItsRowAway",
                    {{"22", "100"}},
                    {{"10", {"200", "8", "208", "20.8", "228.8", "40"}}, {"22", {"1", "0", "1", "0.22", "1.22", "0"}}},
                    kStudio,
                    {{Remove, "10"}, {Update, "22"}},
                    {{"22", {"100", "4", "104", "22.88", "126.88", "20"}}},
                    {"100", "4", "104", "22.88", "126.88", "20", "106.88"}},
        // A discount under a code of its own keeps its row with negative figures:
        // the totals stay the sum of every line.
        SummaryCase{"ANegativeLineLowersItsCodeAndANegativeSumKeepsItsRow",
                    {{"22", "100"}, {"22", "-30"}, {"10", "-50"}},
                    {{"10", {"80", "3.2", "83.2", "8.32", "91.52", "16"}}},
                    kStudio,
                    {{Update, "10"}, {Add, "22"}},
                    {{"10", {"-50", "-2", "-52", "-5.2", "-57.2", "-10"}}, {"22", {"70", "2.8", "72.8", "16.02", "88.82", "14"}}},
                    {"20", "0.8", "20.8", "10.82", "31.62", "4", "27.62"}},
        // Negative ties round to the even cent as positive ones do.
        SummaryCase{"ANegativeSumRoundsItsTiesToEven",
                    {{"10", "-1.25"}},
                    {},
                    VatSettings{0, 0, 100, false},
                    {{Add, "10"}},
                    {{"10", {"-1.25", "0", "-1.25", "-0.12", "-1.37", "0"}}},
                    {"-1.25", "0", "-1.25", "-0.12", "-1.37", "0", "-1.37"}},
        // The negative code's last line deleted: its row goes, the rest stays whole.
        SummaryCase{"DeletingTheLineOfANegativeCodeRemovesItsRow",
                    {{"22", "100"}},
                    {{"10", {"-50", "-2", "-52", "-5.2", "-57.2", "-10"}}, {"22", {"70", "2.8", "72.8", "16.02", "88.82", "14"}}},
                    kStudio,
                    {{Remove, "10"}, {Update, "22"}},
                    {{"22", {"100", "4", "104", "22.88", "126.88", "20"}}},
                    {"100", "4", "104", "22.88", "126.88", "20", "106.88"}},
        // A credit note lists what it credits as positive amounts: its summary is
        // worked as an invoice's (the sign is the document's, not the rows').
        SummaryCase{"ACreditNoteWithWithholdingOnTheSurcharge",
                    {{"22", "1000"}},
                    {},
                    VatSettings{4, 20, 100, true},
                    {{Add, "22"}},
                    {{"22", {"1000", "40", "1040", "228.8", "1268.8", "208"}}},
                    {"1000", "40", "1040", "228.8", "1268.8", "208", "1060.8"}},
        SummaryCase{"AnExemptCodeHasNoSurcharge",
                    {{"E", "500"}},
                    {},
                    kStudio,
                    {{Add, "E"}},
                    {{"E", {"500", "0", "500", "0", "500", "100"}}},
                    {"500", "0", "500", "0", "500", "100", "400"}},
        SummaryCase{"ANoWithholdingCodeWithholdsNothing",
                    {{"R", "500"}, {"22", "100"}},
                    {},
                    kStudio,
                    {{Add, "22"}, {Add, "R"}},
                    {{"22", {"100", "4", "104", "22.88", "126.88", "20"}}, {"R", {"500", "20", "520", "104", "624", "0"}}},
                    {"600", "24", "624", "126.88", "750.88", "20", "730.88"}},
        SummaryCase{"TheWithholdingBoxOff",
                    {{"22", "100"}},
                    {},
                    VatSettings{4, 0, 100, false},
                    {{Add, "22"}},
                    {{"22", {"100", "4", "104", "22.88", "126.88", "0"}}},
                    {"100", "4", "104", "22.88", "126.88", "0", "126.88"}},
        SummaryCase{"CodesMatchWithoutRegardToCase",
                    {{"e", "500"}},
                    {{"r", {"10", "0.4", "10.4", "2.08", "12.48", "0"}}},
                    kStudio,
                    {{Add, "E"}, {Remove, "r"}},
                    {{"E", {"500", "0", "500", "0", "500", "100"}}},
                    {"500", "0", "500", "0", "500", "100", "400"}},
        // Lines without a known code count nowhere; a row of a code gone from the
        // table stays as it is, in the summary and in the totals.
        SummaryCase{"UnknownCodesCountNowhereAndOldRowsStay",
                    {{"XX", "70"}, {"", "30"}, {"10", "100"}},
                    {{"OLD", {"50", "2", "52", "10.4", "62.4", "10"}}},
                    kStudio,
                    {{Add, "10"}},
                    {{"10", {"100", "4", "104", "10.4", "114.4", "20"}}, {"OLD", {"50", "2", "52", "10.4", "62.4", "10"}}},
                    {"150", "6", "156", "20.8", "176.8", "30", "146.8"}},
        SummaryCase{"NoLinesNoRowsAllZero", {}, {}, kStudio, {}, {}, {"0", "0", "0", "0", "0", "0", "0"}}),
    [](const ::testing::TestParamInfo<SummaryCase>& info) { return info.param.name; });

} // namespace
