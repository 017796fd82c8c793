#include "platform/core/Variant.h"

#include <gtest/gtest.h>

using core::Variant;
using core::VarType;

TEST(Variant, EmptyAndNullDiffer)
{
    const Variant empty;
    const Variant null = Variant::null();
    EXPECT_EQ(empty.type(), VarType::Empty);
    EXPECT_EQ(null.type(), VarType::Null);
    EXPECT_FALSE(empty == null);
    EXPECT_FALSE(null.sameValue(null)); // Null equals nothing, not even Null
    EXPECT_TRUE(empty.sameValue(Variant()));
}

TEST(Variant, NumbersCompareAcrossSubtypes)
{
    EXPECT_TRUE(Variant(std::int32_t(1)).sameValue(Variant(1.0)));
    EXPECT_TRUE(Variant(core::Currency::fromUnits(2)).sameValue(Variant(std::int16_t(2))));
    EXPECT_FALSE(Variant(QStringLiteral("1")).sameValue(Variant(std::int32_t(1))));
}

TEST(Variant, BooleansAreMinusOneAndZero)
{
    EXPECT_EQ(Variant(true).toDouble(), -1.0);
    EXPECT_EQ(Variant(false).toLong(), 0);
    EXPECT_TRUE(Variant(std::int32_t(-1)).toBool());
}

TEST(Variant, DatesRoundTripThroughSerial)
{
    const QDate date(2024, 3, 5);
    const Variant v(date);
    EXPECT_EQ(v.type(), VarType::Date);
    EXPECT_EQ(v.toDate(), date);
    EXPECT_DOUBLE_EQ(core::dateSerial(QDate(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(core::dateSerial(QDate(1900, 1, 1)), 2.0);
    const QDateTime noon(QDate(2024, 3, 5), QTime(12, 0));
    EXPECT_DOUBLE_EQ(Variant(noon).toDateSerial(), core::dateSerial(date) + 0.5);
    EXPECT_EQ(Variant(noon).toDateTime(), noon);
}

TEST(Variant, Int64BecomesLongWhenItFits)
{
    EXPECT_EQ(Variant::fromInt64(5).type(), VarType::Long);
    EXPECT_EQ(Variant::fromInt64(5000000000LL).type(), VarType::Double);
}

TEST(Variant, LongRoundsHalfToEven)
{
    EXPECT_EQ(Variant(2.5).toLong(), 2);
    EXPECT_EQ(Variant(3.5).toLong(), 4);
    EXPECT_EQ(Variant(QStringLiteral(" 42 ")).toLong(), 42);
}
