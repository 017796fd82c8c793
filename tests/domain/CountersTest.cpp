#include "DomainFixture.h"

#include "domain/Counters.h"
#include "platform/database/Connection.h"

class CountersTest : public DomainFixture {
protected:
    // A document of `sezId` as the editor leaves it; `sign` Null and prefix Null is a new document still open.
    void addDocument(int sezId, int tipo, int numero, const char* prefisso, const char* segno, const char* data = "#06/01/2024#")
    {
        exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatTipoMol, fatData) VALUES (%1, %2, %3, %4, %5, %6)")
                 .arg(sezId)
                 .arg(tipo)
                 .arg(numero)
                 .arg(QLatin1String(prefisso), QLatin1String(segno), QLatin1String(data)));
    }
    std::int32_t highest(const QString& prefix)
    {
        db::Connection cn;
        cn.open(m_cs);
        const std::int32_t n = highestIssuedNumber(cn, 1, 2024, prefix);
        cn.close();
        return n;
    }
    std::int32_t counter(const QString& prefix)
    {
        db::Connection cn;
        cn.open(m_cs);
        const std::int32_t n = readCounter(cn, 1, 2024, prefix);
        cn.close();
        return n;
    }
};

TEST(CounterTextTest, OnlyDigitsThatFitAreANumber)
{
    struct Case {
        const char* text;
        int value; // -1: refused
    };
    const Case cases[] = {
        {"0", 0},           {"12", 12},           {" 12 ", 12},        {"000000012", 12},     {"999999999", 999999999},
        {"", -1},           {"   ", -1},          {"1234567890", -1},  {"99999999999999999999", -1},
        {"12a", -1},        {"-1", -1},           {"1,5", -1},         {"1.000", -1},
    };
    for (const Case& c : cases) {
        const CounterText t = parseCounterText(QString::fromLatin1(c.text));
        if (c.value < 0) {
            EXPECT_FALSE(t.value.has_value()) << c.text;
            EXPECT_FALSE(t.error.isEmpty()) << c.text;
        } else {
            ASSERT_TRUE(t.value.has_value()) << c.text;
            EXPECT_EQ(*t.value, c.value) << c.text;
        }
    }
}

TEST_F(CountersTest, TheHighestIssuedNumberCountsOnlyNumberedDocumentsOfTheSeries)
{
    addDocument(1, 0, 7, "''", "1");
    addDocument(1, 1, 9, "''", "-1");        // a credit note shares the series
    addDocument(1, 0, 10, "''", "Null");     // an invoice made from a pro forma keeps the pro forma's Null sign
    addDocument(1, 0, 8, "Null", "1");       // an older file's main series without prefix
    addDocument(1, 0, 4, "'B'", "1");
    addDocument(1, 2, 40, "''", "Null");     // pro formas are not numbered
    addDocument(1, 0, 15, "Null", "Null");   // a new invoice still open in an editor: provisional
    addDocument(1, 0, 50, "''", "1", "#12/31/2023#");
    addDocument(2, 0, 60, "''", "1");
    EXPECT_EQ(highest(QString()), 10);
    EXPECT_EQ(highest(QStringLiteral("B")), 4);
    EXPECT_EQ(highest(QStringLiteral("C")), 0);
}

TEST_F(CountersTest, ADocumentCountsInTheSeriesItWasNumberedInWhateverItsDate)
{
    const auto numbered = [&](int numero, int serie, const char* data) {
        exec(QStringLiteral("INSERT INTO Fatture (sezId, fatTipo, fatNo, fatPrefisso, fatTipoMol, fatData, fatAnnoSerie) "
                            "VALUES (1, 0, %1, '', 1, %2, %3)")
                 .arg(numero)
                 .arg(QLatin1String(data))
                 .arg(serie));
    };
    addDocument(1, 0, 5, "''", "1");           // numbered before the series' year was kept: by its date
    numbered(12, 2024, "#12/31/2023#");        // dated in the year before, numbered in 2024's series
    numbered(30, 2025, "#12/31/2024#");        // dated in 2024, numbered in 2025's series
    EXPECT_EQ(highest(QString()), 12);
    // With the counter at 12, going back to 11 would give 12 again.
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2024, Null, 12)"));
    const CounterSaveResult r = saveCounter(m_cs, 1, 2024, QString(), 11, 12);
    EXPECT_EQ(r.outcome, CounterSave::BelowIssued);
    EXPECT_EQ(r.highestIssued, 12);
    EXPECT_EQ(counter(QString()), 12);
}

TEST_F(CountersTest, SavingRefusesRepeatsAndChangesMadeMeanwhile)
{
    addDocument(1, 0, 7, "''", "1");
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2024, Null, 7)"));

    // Below the last number issued: refused, nothing written.
    CounterSaveResult r = saveCounter(m_cs, 1, 2024, QString(), 6, 7);
    EXPECT_EQ(r.outcome, CounterSave::BelowIssued);
    EXPECT_EQ(r.highestIssued, 7);
    EXPECT_EQ(counter(QString()), 7);

    // Another machine gave number 8 since the page was opened: the user is asked first.
    exec(QStringLiteral("UPDATE SezioniParametri SET parNum1=8"));
    r = saveCounter(m_cs, 1, 2024, QString(), 20, 7);
    EXPECT_EQ(r.outcome, CounterSave::ChangedMeanwhile);
    EXPECT_EQ(r.stored, 8);
    EXPECT_EQ(counter(QString()), 8);
    r = saveCounter(m_cs, 1, 2024, QString(), 20, 8);
    EXPECT_EQ(r.outcome, CounterSave::Written);
    EXPECT_EQ(counter(QString()), 20);

    // Back down to the last number issued is allowed: the next document gets 8.
    EXPECT_EQ(saveCounter(m_cs, 1, 2024, QString(), 7, 20).outcome, CounterSave::Written);
    EXPECT_EQ(counter(QString()), 7);
}

TEST_F(CountersTest, ANewSeriesGetsItsRow)
{
    struct Case {
        QString prefix;
        const char* where;
    };
    const Case cases[] = {
        {QString(), "parKey3 Is Null"},
        {QStringLiteral("B"), "parKey3='B'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(saveCounter(m_cs, 1, 2024, c.prefix, 12, 0).outcome, CounterSave::Written);
        EXPECT_EQ(count(QStringLiteral("SELECT parNum1 FROM SezioniParametri WHERE parsezId=1 AND parKey4=2024 AND ")
                        + QLatin1String(c.where)),
                  12);
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri")), 2);
}

TEST_F(CountersTest, AMainSeriesStoredBothWaysStaysOneCounter)
{
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2024, Null, 3)"));
    exec(QStringLiteral("INSERT INTO SezioniParametri (parsezId, parKey4, parKey3, parNum1) VALUES (1, 2024, '', 5)"));
    EXPECT_EQ(counter(QString()), 5);
    EXPECT_EQ(saveCounter(m_cs, 1, 2024, QString(), 9, 5).outcome, CounterSave::Written);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SezioniParametri WHERE parNum1=9")), 2);
}
