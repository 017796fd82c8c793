#include "TestDatabase.h"

#include "platform/database/jet/JetSql.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using db::jet::translate;

namespace {

class YearRangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("CREATE TABLE Fatture (fatId COUNTER, sezId INTEGER, fatNo LONG, fatData DATETIME)"));
        db.exec(QStringLiteral("CREATE INDEX PrimaryKey ON Fatture (fatId) WITH PRIMARY"));
        db.exec(QStringLiteral("CREATE INDEX sezIdfatData ON Fatture (sezId, fatData)"));
    }

    QString sql(const QString& jet) { return translate(jet, db).sql; }

    // Every fatId the filter lets through.
    std::set<long> ids(const QString& where)
    {
        std::set<long> out;
        for (const auto& row : db.query(QStringLiteral("SELECT fatId FROM Fatture WHERE ") + where))
            out.insert(row[0].toLong());
        return out;
    }

    TestDatabase db;
};

TEST_F(YearRangeTest, YearOfADateColumnAgainstAKnownYearBecomesARange)
{
    // 2024-01-01 is day 45292, 2025-01-01 day 45658.
    const struct {
        const char* jet;
        const char* written;
    } ranges[] = {
        {"Year(fatData)=2024", R"(("fatData" >= 45292 AND "fatData" < 45658))"},
        {"2024 = Year(fatData)", R"(("fatData" >= 45292 AND "fatData" < 45658))"},
        {"Year(Fatture.fatData)=Year(#03/05/2024#)", R"(("Fatture"."fatData" >= 45292 AND "Fatture"."fatData" < 45658))"},
        {"Year(fatData)<>2024", R"(("fatData" < 45292 OR "fatData" >= 45658))"},
        {"NOT Year(fatData)=2024", R"(NOT ("fatData" >= 45292 AND "fatData" < 45658))"},
    };
    for (const auto& c : ranges) {
        const QString t = sql(QStringLiteral("SELECT fatId FROM Fatture WHERE sezId=1 AND ") + QLatin1String(c.jet));
        EXPECT_TRUE(t.contains(QLatin1String(c.written))) << c.jet << " -> " << t.toStdString();
        EXPECT_FALSE(t.contains(QLatin1String("jet_year"))) << c.jet;
    }

    // What is no plain date column against a year known now keeps the function.
    const char* kept[] = {
        "Year(fatData)=?",
        "Year(fatData)=fatNo",
        "Year(fatData)<2024",
        "Year(fatData)>=2024",
        "Year(fatData)=2024.5",
        "Year(fatData+1)=2024",
        "Year(fatNo)=2024",
        "Year(fatData)='2024'",
        "Year(fatData)=1899",
        "Month(fatData)=3",
        "Year(fatData) IN (2024)",
    };
    for (const char* c : kept)
        EXPECT_TRUE(sql(QStringLiteral("SELECT fatId FROM Fatture WHERE ") + QLatin1String(c)).contains(QLatin1String("jet_")))
            << c;
    EXPECT_EQ(sql(QStringLiteral("SELECT Year(fatData) AS Anno FROM Fatture")),
              QStringLiteral(R"(SELECT jet_year("fatData") AS "Anno" FROM "Fatture")"));
}

TEST_F(YearRangeTest, RangeLetsThroughTheRowsTheFunctionDoes)
{
    const char* dates[] = {
        "NULL",
        "#12/31/2023 23:59:59#",
        "#01/01/2024#",
        "#01/01/2024 00:00:01#",
        "#06/15/2024 12:00#",
        "#12/31/2024#",
        "#12/31/2024 23:59:59#",
        "#01/01/2025#",
        "#01/01/1900#",
        "#12/31/1899 06:00#",
        "#12/29/1899 18:00#", // before day 0: a negative serial
        "#01/01/1800#",
    };
    for (const char* d : dates)
        db.exec(QStringLiteral("INSERT INTO Fatture (sezId, fatData) VALUES (1, %1)").arg(QLatin1String(d)));
    // Values another SQLite tool may leave in the column: a whole number stored
    // as an integer, an ISO text date, text that is no date at all.
    sqlite3_exec(db.handle(),
                 "INSERT INTO Fatture (sezId, fatData) VALUES (1, 45300), (1, '2024-03-05'), (1, 'mai'), (1, x'00')",
                 nullptr, nullptr, nullptr);

    std::map<long, core::Variant> year;
    for (const auto& row : db.query(QStringLiteral("SELECT fatId, Year(fatData) FROM Fatture")))
        year[row[0].toLong()] = row[1];
    ASSERT_EQ(year.size(), 16u);

    for (int y : {1899, 1900, 2023, 2024, 2025}) {
        std::set<long> equal, different;
        for (const auto& [id, v] : year) {
            if (v.isNull())
                continue;
            (v.toLong() == y ? equal : different).insert(id);
        }
        const QString n = QString::number(y);
        EXPECT_EQ(ids(QStringLiteral("Year(fatData)=") + n), equal) << y;
        EXPECT_EQ(ids(n + QStringLiteral("=Year(fatData)")), equal) << y;
        EXPECT_EQ(ids(QStringLiteral("Year(fatData)<>") + n), different) << y;
        // Null stays unknown under NOT as well: the Null row passes neither.
        EXPECT_EQ(ids(QStringLiteral("NOT (Year(fatData)=") + n + QLatin1Char(')')), different) << y;
        EXPECT_EQ(ids(QStringLiteral("NOT (Year(fatData)<>") + n + QLatin1Char(')')), equal) << y;
        EXPECT_EQ(ids(QStringLiteral("Year(fatData)=Year(#07/01/") + n + QStringLiteral("#)")), equal) << y;
    }
}

TEST_F(YearRangeTest, TheViewFilterSearchesTheSectionDateIndex)
{
    const QString t = sql(QStringLiteral("SELECT fatId FROM Fatture WHERE fatNo<2 AND Year(fatData)=Year(#06/15/2026#) "
                                         "AND Fatture.sezId=1"));
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.handle(), ("EXPLAIN QUERY PLAN " + t).toUtf8().constData(), -1, &st, nullptr), SQLITE_OK);
    QString plan;
    while (sqlite3_step(st) == SQLITE_ROW)
        plan += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) + QLatin1Char('\n');
    sqlite3_finalize(st);
    EXPECT_TRUE(plan.contains(QLatin1String("sezIdfatData")) && plan.contains(QLatin1String("fatData>?"))
                && plan.contains(QLatin1String("fatData<?")))
        << plan.toStdString();
}

} // namespace
