#include "domain/VatSummary.h"

#include <gtest/gtest.h>

namespace {

core::Currency money(const char* text) { return core::Currency::fromDouble(QString::fromLatin1(text).toDouble()); }

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
