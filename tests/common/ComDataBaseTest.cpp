#include "common/comDataBase.h"

#include "platform/core/Error.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

using core::Variant;

namespace {

class SqlUnderGermanLocale : public ::testing::Test {
protected:
    // A locale with "." as date separator and "," as decimal shows any leak.
    void SetUp() override
    {
        saved = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override { QLocale::setDefault(saved); }
    QLocale saved;
};

TEST_F(SqlUnderGermanLocale, DateLiteralIsMonthDayYear)
{
    EXPECT_EQ(SqlData(QDate(2024, 3, 5)), QStringLiteral("#03/05/2024#"));
    EXPECT_EQ(SqlData(QDate(2023, 12, 31)), QStringLiteral("#12/31/2023#"));
    EXPECT_EQ(SqlData(QDate(999, 1, 2)), QStringLiteral("#01/02/0999#"));
    EXPECT_EQ(SqlData(Variant(QDateTime(QDate(2023, 12, 31), QTime(23, 59)))), QStringLiteral("#12/31/2023#"));
    EXPECT_EQ(SqlData(Variant(QStringLiteral("2024-03-05"))), QStringLiteral("#03/05/2024#"));
    EXPECT_EQ(SqlData(Variant(QStringLiteral("05/03/2024"))), QStringLiteral("#03/05/2024#"));
    EXPECT_EQ(SqlData(Variant()), QStringLiteral("#12/30/1899#"));
}

TEST_F(SqlUnderGermanLocale, NoBrokenDateLiteral)
{
    EXPECT_THROW(SqlData(Variant::null()), core::Error);
    EXPECT_THROW(SqlData(Variant(QStringLiteral("yesterday"))), core::Error);
    EXPECT_THROW(SqlData(QDate()), core::Error);
}

TEST_F(SqlUnderGermanLocale, TextAndNumbers)
{
    EXPECT_EQ(SqlText(QStringLiteral("D'Amico")), QStringLiteral("D''Amico"));
    EXPECT_EQ(SqlText(QStringLiteral("'';")), QStringLiteral("'''';"));
    EXPECT_EQ(SqlText(QStringLiteral("Rossi")), QStringLiteral("Rossi"));
    EXPECT_EQ(SqlQuoted(QStringLiteral("D'Amico")), QStringLiteral("'D''Amico'"));
    EXPECT_EQ(SqlQuoted(QString()), QStringLiteral("''"));
    EXPECT_THROW(SqlQuoted(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")), core::Error);
    EXPECT_EQ(SqlNumber(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(SqlNumber(-0.1), QStringLiteral("-0.1"));
    EXPECT_EQ(SqlNumber(-0.0), QStringLiteral("0"));
    EXPECT_EQ(SqlNumber(22.0), QStringLiteral("22"));
    EXPECT_EQ(SqlNumber(core::Currency::fromRaw(12345)), QStringLiteral("1.2345"));
    EXPECT_THROW(SqlNumber(std::numeric_limits<double>::quiet_NaN()), core::Error);
}

} // namespace
