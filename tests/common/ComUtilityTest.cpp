#include "common/comUtility.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>

using core::Variant;

namespace {

// Locale-independence is part of the contract: every case runs under English too.
class EnglishLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(saved); }
    QLocale saved;
};

using NzTest = EnglishLocale;

TEST_F(NzTest, NzStrTakesOnlyText)
{
    EXPECT_EQ(NzStr(Variant::null(), QString()), QString());
    EXPECT_EQ(NzStr(Variant(), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(NzStr(Variant(std::int32_t(123)), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(NzStr(Variant(true), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(NzStr(Variant(QDate(2024, 1, 1)), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(NzStr(Variant(QStringLiteral("abc")), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(NzStr(Variant(QString()), QStringLiteral("x")), QString()); // empty text is text
}

TEST_F(NzTest, NzNumReadsNumbersAndItalianText)
{
    struct Case {
        Variant value;
        double defaultValue;
        double expected;
    };
    const Case cases[] = {
        {Variant::null(), 0, 0},
        {Variant(), 7, 7},
        {Variant(QStringLiteral("abc")), 1, 1},
        {Variant(QStringLiteral("")), 3, 3},
        {Variant(QStringLiteral("12,5")), 0, 12.5},
        {Variant(QStringLiteral("1.234,5")), 0, 1234.5},
        {Variant(QStringLiteral("1.234.567")), 0, 1234567},
        {Variant(QStringLiteral("1.234")), 0, 1234},   // Italian grouping, not a decimal
        {Variant(QStringLiteral("12.5")), 0, 12.5},    // plain text from the database
        {Variant(QStringLiteral("0.25")), 0, 0.25},
        {Variant(QStringLiteral(" -3,75 ")), 0, -3.75},
        {Variant(QStringLiteral(",5")), 0, 0.5},
        {Variant(QStringLiteral("12,")), 0, 12},
        {Variant(QStringLiteral("1,2,3")), 9, 9},
        {Variant(QStringLiteral("12,5abc")), 9, 9},
        {Variant(QStringLiteral("-")), 9, 9},
        {Variant(QStringLiteral("12.34.5")), 9, 9},
        {Variant(std::int16_t(5)), 0, 5},
        {Variant(2.75), 0, 2.75},
        {Variant(core::Currency::fromRaw(123456)), 0, 12.3456},
        {Variant(true), 0, -1},
        {Variant(false), 9, 0},
        {Variant(QDate(2024, 1, 1)), 9, 9}, // a date is not a number
        {Variant(QByteArray("12")), 9, 9},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(NzNum(c.value, c.defaultValue), c.expected) << c.value.debugString().toStdString();
}

TEST(KeyFilters, FollowTheTable)
{
    struct Case {
        int key;
        int cifre, decimali, decimaliSegno, lettere;
    };
    const Case cases[] = {
        {'0', '0', '0', '0', 0},     {'9', '9', '9', '9', 0},  {8, 8, 8, 8, 8},
        {9, 9, 9, 9, 9},             {',', 0, ',', ',', 0},    {'.', 0, ',', ',', 0},
        {'-', 0, 0, '-', 0},         {'A', 0, 0, 0, 'A'},      {'z', 0, 0, 0, 'z'},
        {13, 0, 0, 0, 0},            {27, 0, 0, 0, 0},         {' ', 0, 0, 0, 0},
        {'+', 0, 0, 0, 0},           {0xE8 /* e grave */, 0, 0, 0, 0},
        {'@', 0, 0, 0, 0},           {'[', 0, 0, 0, 0},        {'/', 0, 0, 0, 0},
        {':', 0, 0, 0, 0},           {'`', 0, 0, 0, 0},        {'{', 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(SoloCifre(c.key), c.cifre);
        EXPECT_EQ(SoloDecimali(c.key), c.decimali);
        EXPECT_EQ(SoloDecimaliSegno(c.key), c.decimaliSegno);
        EXPECT_EQ(SoloLettere(c.key), c.lettere);
    }
}

} // namespace
