#include "platform/core/Currency.h"

#include <gtest/gtest.h>

using core::Currency;

TEST(Currency, SumsOfCentsAreExact)
{
    const Currency a = Currency::fromDouble(100.10);
    const Currency b = Currency::fromDouble(200.20);
    const Currency total = Currency::fromDouble(300.30);
    EXPECT_EQ((total - a - b).raw(), 0);
}

TEST(Currency, FromDoubleRoundsHalfEvenAtFourDecimals)
{
    EXPECT_EQ(Currency::fromDouble(0.00005).raw(), 0);  // nearest double is below the half
    EXPECT_EQ(Currency::fromDouble(1.23456).raw(), 12346);
    EXPECT_EQ(Currency::fromDouble(-1.5).raw(), -15000);
}

struct CentCase {
    double value;
    double expected;
};

class RoundHalfEven : public ::testing::TestWithParam<CentCase> {};

TEST_P(RoundHalfEven, TwoDecimalsTiesToEven)
{
    const auto [value, expected] = GetParam();
    EXPECT_DOUBLE_EQ(core::roundHalfEven(value, 2), expected);
    EXPECT_EQ(Currency::fromDouble(value).roundedToCentsHalfEven(), Currency::fromDouble(expected));
}

INSTANTIATE_TEST_SUITE_P(Ties, RoundHalfEven,
                         ::testing::Values(CentCase{0.125, 0.12}, CentCase{0.375, 0.38}, CentCase{3.125, 3.12},
                                           CentCase{8.125, 8.12}, CentCase{-0.125, -0.12}, CentCase{2.5, 2.5},
                                           CentCase{1.2351, 1.24}, CentCase{1.2349, 1.23}));

TEST(Currency, PlainTextDropsTrailingZeros)
{
    EXPECT_EQ(Currency::fromDouble(12.5).toPlainString(), QStringLiteral("12.5"));
    EXPECT_EQ(Currency::fromDouble(-3).toPlainString(), QStringLiteral("-3"));
    EXPECT_EQ(Currency::fromRaw(1).toPlainString(), QStringLiteral("0.0001"));
    EXPECT_EQ(Currency::fromRaw(-1).toPlainString(), QStringLiteral("-0.0001"));
}
