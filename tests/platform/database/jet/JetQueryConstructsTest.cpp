// The query constructs the program's reports are written with, one case each,
// on a tiny schema: joins nested in parentheses (RIGHT JOIN among them), GROUP
// BY and ORDER BY on computed text, HAVING, Jet's concatenation and Null
// handling, date literals, and money that compares exactly.
#include "TestDatabase.h"

#include "platform/core/Currency.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using core::Variant;

namespace {

class JetQueryConstructsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* setup[] = {
            "CREATE TABLE Fatture (fatId COUNTER, sezId INTEGER, fatNo LONG, fatPrefisso TEXT(5), fatData DATETIME, "
            "fatCliForId LONG, fatTotNetto CURRENCY)",
            "CREATE TABLE Incassi (incId COUNTER, incFatId INTEGER, incImporto CURRENCY)",
            "CREATE TABLE CliFor (cliId COUNTER, cliNome TEXT(50), cliLocalita TEXT(50), sezId INTEGER)",
            "INSERT INTO CliFor (cliNome, cliLocalita, sezId) VALUES ('Rossi', 'Roma', 1)",
            "INSERT INTO CliFor (cliNome, cliLocalita, sezId) VALUES ('bianchi', Null, 1)",
            // 1 is collected exactly by two amounts whose sum as doubles is short of the net;
            // 2 is one cent short; 3 has no collections.
            "INSERT INTO Fatture (sezId, fatNo, fatData, fatCliForId, fatTotNetto) VALUES (1, 1, #01/15/2024#, 1, 20.26)",
            "INSERT INTO Fatture (sezId, fatNo, fatPrefisso, fatData, fatCliForId, fatTotNetto) "
            "VALUES (1, 2, 'B', #02/20/2024#, 1, 204)",
            "INSERT INTO Fatture (sezId, fatNo, fatData, fatCliForId, fatTotNetto) VALUES (1, 3, #03/10/2024#, 2, 50)",
            "INSERT INTO Incassi (incFatId, incImporto) VALUES (1, 10)",
            "INSERT INTO Incassi (incFatId, incImporto) VALUES (1, 10.26)",
            "INSERT INTO Incassi (incFatId, incImporto) VALUES (2, 100)",
            "INSERT INTO Incassi (incFatId, incImporto) VALUES (2, 103.99)",
        };
        for (const char* sql : setup)
            db.exec(QString::fromUtf8(sql));
    }

    // Rows as "a|b;c|d", Null as "Null".
    QString rows(const QString& sql)
    {
        QStringList out;
        for (const auto& row : db.query(sql)) {
            QStringList values;
            for (const auto& v : row)
                values << (v.isNull() ? QStringLiteral("Null") : v.toString());
            out << values.join(QLatin1Char('|'));
        }
        return out.join(QLatin1Char(';'));
    }

    TestDatabase db;
};

TEST_F(JetQueryConstructsTest, EachConstructReturnsJetsRows)
{
    struct Case {
        const char* what;
        const char* sql;
        const char* expected;
    };
    const Case cases[] = {
        {"RIGHT JOIN onto a parenthesised INNER JOIN, then a LEFT JOIN",
         "SELECT Fatture.fatNo, Count(Incassi.incId) FROM (Incassi RIGHT JOIN (Fatture INNER JOIN CliFor ON "
         "Fatture.fatCliForId = CliFor.cliId) ON Incassi.incFatId = Fatture.fatId) LEFT JOIN CliFor AS C2 ON "
         "C2.cliId = Fatture.fatCliForId GROUP BY Fatture.fatNo ORDER BY Fatture.fatNo",
         "1|2;2|2;3|0"},
        {"joins nested on the left",
         "SELECT fatNo, cliNome FROM ((Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId) "
         "LEFT JOIN Incassi ON Incassi.incFatId = Fatture.fatId) WHERE incId Is Null",
         "3|bianchi"},
        {"GROUP BY and ORDER BY on an IIf expression",
         "SELECT IIf(IsNull([cliLocalita]),'(nessuna)',[cliLocalita]) AS Loc, Count(*) FROM Fatture INNER JOIN CliFor "
         "ON Fatture.fatCliForId = CliFor.cliId GROUP BY IIf(IsNull([cliLocalita]),'(nessuna)',[cliLocalita]) "
         "ORDER BY IIf(IsNull([cliLocalita]),'(nessuna)',[cliLocalita]) DESC",
         "Roma|2;(nessuna)|1"},
        {"GROUP BY and ORDER BY on concatenated text, case ignored in the order",
         "SELECT [cliNome] & IIf(IsNull([cliLocalita]),'',' [' & [cliLocalita] & ']') AS Cliente, Count(*) FROM Fatture "
         "INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId "
         "GROUP BY [cliNome] & IIf(IsNull([cliLocalita]),'',' [' & [cliLocalita] & ']') "
         "ORDER BY [cliNome] & IIf(IsNull([cliLocalita]),'',' [' & [cliLocalita] & ']')",
         "bianchi|1;Rossi [Roma]|2"},
        {"HAVING on a grouped column with a two-digit-year range",
         "SELECT fatNo FROM Fatture GROUP BY fatNo, fatData HAVING (fatData Between #02/01/24# And #12/31/24#) ORDER BY fatNo",
         "2;3"},
        {"HAVING on an aggregate", "SELECT incFatId FROM Incassi GROUP BY incFatId HAVING Count(*) > 1 AND Sum(incImporto) > 100",
         "2"},
        {"four-digit-year range", "SELECT fatNo FROM Fatture WHERE fatData Between #01/01/2024# And #01/31/2024#", "1"},
        {"Sum(IIf(IsNull(x),0,x)) is 0 where nothing joins",
         "SELECT fatNo, Sum(IIf(IsNull([incImporto]),0,[incImporto])) FROM Incassi RIGHT JOIN Fatture ON "
         "Incassi.incFatId = Fatture.fatId GROUP BY fatNo ORDER BY fatNo",
         "1|20.26;2|203.99;3|0"},
        {"IIf on the Null of an empty sum",
         "SELECT IIf(IsNull(Sum([incImporto])),[fatTotNetto],[fatTotNetto]-Sum([incImporto])) FROM Incassi RIGHT JOIN "
         "Fatture ON Incassi.incFatId = Fatture.fatId GROUP BY fatNo, fatTotNetto ORDER BY fatNo",
         "0;0.01;50"},
        {"a number and a Null text concatenated", "SELECT [fatNo] & [fatPrefisso] FROM Fatture ORDER BY fatNo", "1;2B;3"},
        {"Not binds looser than Is Null",
         "SELECT DISTINCT fatNo FROM Incassi RIGHT JOIN Fatture ON Incassi.incFatId = Fatture.fatId "
         "WHERE (Not (Incassi.incId) Is Null) ORDER BY fatNo",
         "1;2"},
        {"no blank before ORDER BY, column names in any case",
         "SELECT Fatture.FATNO FROM Fatture WHERE (Fatture.SezId=1 OR fatNo=0)ORDER BY fatno DESC", "3;2;1"},
        {"text compared without regard to case", "SELECT cliId FROM CliFor WHERE cliNome = 'BIANCHI' OR cliNome < 'b'", "2"},
        {"Xor, Eqv and Imp of two conditions",
         "SELECT fatNo, ((fatNo = 1) Xor (sezId = 1)), ((fatNo = 1) Eqv (fatNo < 3)), ((fatNo > 1) Imp (fatTotNetto > 100)) "
         "FROM Fatture ORDER BY fatNo",
         "1|False|True|True;2|True|False|True;3|True|True|False"},
    };
    for (const auto& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        try {
            EXPECT_EQ(rows(sql), QString::fromUtf8(c.expected)) << c.what << "\n" << db::jet::translate(sql, db).sql.toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.what << ": " << e.what();
        }
    }
}

// "Only the unpaid invoices": a difference of currency sums compared with zero
// must leave out exactly the invoice collected in full and keep the one short by a cent.
// A RIGHT JOIN reaches the engine with its sides exchanged (the engine would
// otherwise materialise a parenthesised right side): the rows and the columns,
// named and ordered as Jet lists them, equal those of the same join written
// as a LEFT JOIN with the stars spelled out in Jet's order.
TEST_F(JetQueryConstructsTest, RightJoinKeepsRowsAndColumnOrder)
{
    const char* on = "Incassi.incFatId = Fatture.fatId";
    struct Case {
        const char* what;
        QString sql;
        QString same;
    };
    const Case cases[] = {
        {"bare star", QStringLiteral("SELECT * FROM Incassi RIGHT JOIN Fatture ON %1 ORDER BY fatNo, incId").arg(on),
         QStringLiteral("SELECT Incassi.*, Fatture.* FROM Fatture LEFT JOIN Incassi ON %1 ORDER BY fatNo, incId").arg(on)},
        {"bare star over a parenthesised join sharing a column name",
         QStringLiteral("SELECT * FROM (Incassi RIGHT JOIN (Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId) "
                        "ON %1) ORDER BY fatNo, incId").arg(on),
         QStringLiteral("SELECT Incassi.*, Fatture.*, CliFor.* FROM (Fatture INNER JOIN CliFor ON Fatture.fatCliForId = "
                        "CliFor.cliId) LEFT JOIN Incassi ON %1 ORDER BY fatNo, incId").arg(on)},
        {"qualified stars and a column",
         QStringLiteral("SELECT Fatture.*, incImporto, Incassi.* FROM Incassi RIGHT JOIN Fatture ON %1 ORDER BY fatNo, incId").arg(on),
         QStringLiteral("SELECT Fatture.*, incImporto, Incassi.* FROM Fatture LEFT JOIN Incassi ON %1 ORDER BY fatNo, incId").arg(on)},
        {"aliases", QStringLiteral("SELECT * FROM Incassi AS i RIGHT JOIN Fatture AS f ON i.incFatId = f.fatId ORDER BY fatNo, incId"),
         QStringLiteral("SELECT i.*, f.* FROM Fatture AS f LEFT JOIN Incassi AS i ON i.incFatId = f.fatId ORDER BY fatNo, incId")},
        {"inside the right side of a LEFT JOIN",
         QStringLiteral("SELECT * FROM CliFor LEFT JOIN (Incassi RIGHT JOIN Fatture ON %1) ON Fatture.fatCliForId = CliFor.cliId "
                        "ORDER BY cliId, fatNo, incId").arg(on),
         QStringLiteral("SELECT CliFor.*, Incassi.*, Fatture.* FROM CliFor LEFT JOIN (Fatture LEFT JOIN Incassi ON %1) ON "
                        "Fatture.fatCliForId = CliFor.cliId ORDER BY cliId, fatNo, incId").arg(on)},
        {"a subquery's star read through its alias",
         QStringLiteral("SELECT t.* FROM (SELECT * FROM Incassi RIGHT JOIN Fatture ON %1) AS t ORDER BY fatNo, incId").arg(on),
         QStringLiteral("SELECT t.* FROM (SELECT Incassi.*, Fatture.* FROM Fatture LEFT JOIN Incassi ON %1) AS t ORDER BY fatNo, incId").arg(on)},
    };
    auto names = [&](const QString& sqliteSql) {
        sqlite3_stmt* st = nullptr;
        const QByteArray text = sqliteSql.toUtf8();
        QStringList out;
        if (sqlite3_prepare_v2(db.handle(), text.constData(), text.size(), &st, nullptr) != SQLITE_OK)
            out << QString::fromUtf8(sqlite3_errmsg(db.handle()));
        for (int i = 0; st && i < sqlite3_column_count(st); ++i)
            out << QString::fromUtf8(sqlite3_column_name(st, i));
        sqlite3_finalize(st);
        return out;
    };
    for (const auto& c : cases) {
        const auto t = db::jet::translate(c.sql, db);
        const auto same = db::jet::translate(c.same, db);
        EXPECT_FALSE(t.sql.contains(QStringLiteral("RIGHT JOIN"))) << c.what << "\n" << t.sql.toStdString();
        EXPECT_EQ(names(t.sql), names(same.sql)) << c.what << "\n" << t.sql.toStdString();
        EXPECT_EQ(t.resultTypes, same.resultTypes) << c.what;
        const QString r = rows(c.sql);
        EXPECT_EQ(r, rows(c.same)) << c.what;
        EXPECT_TRUE(r.contains(QStringLiteral("Null"))) << c.what << ": the kept side's unmatched row";
    }
}

TEST_F(JetQueryConstructsTest, UnpaidInvoicesCompareMoneyExactly)
{
    const QString unpaid = QStringLiteral(
        "SELECT fatNo FROM Incassi RIGHT JOIN Fatture ON Incassi.incFatId = Fatture.fatId GROUP BY fatNo, fatTotNetto "
        "HAVING (fatNo > 0) AND  ((IIf(IsNull(Sum([incImporto])),[fatTotNetto],[fatTotNetto]-Sum([incImporto])))>0) ORDER BY fatNo");
    EXPECT_EQ(rows(unpaid), QStringLiteral("2;3"));
    EXPECT_EQ(rows(QStringLiteral("SELECT fatNo FROM Incassi RIGHT JOIN Fatture ON Incassi.incFatId = Fatture.fatId "
                                  "GROUP BY fatNo, fatTotNetto HAVING Sum(incImporto) = fatTotNetto")),
              QStringLiteral("1"));
    const auto t = db::jet::translate(unpaid, db);
    EXPECT_TRUE(t.resultTypes.size() == 1 && t.resultTypes.front() == db::DataType::Integer);
}

// The file declares SQLite's own NOCASE, which folds only ASCII letters; the
// statements the layer emits compare, group and sort text as Jet does.
TEST_F(JetQueryConstructsTest, TextBeyondAsciiComparesGroupsAndSortsWithoutCase)
{
    db.exec(QStringLiteral("CREATE TABLE Nomi (nId COUNTER, nome TEXT(20))"));
    for (const char* name : {"élite", "ÉLITE", "Èb", "èa", "Zeta"})
        db.exec(QStringLiteral("INSERT INTO Nomi (nome) VALUES ('%1')").arg(QString::fromUtf8(name)));
    struct Case {
        const char* what;
        const char* sql;
        const char* expected;
    };
    const Case cases[] = {
        {"equality", "SELECT Count(*) FROM Nomi WHERE nome = 'Élite'", "2"},
        {"In", "SELECT Count(*) FROM Nomi WHERE nome In ('ÉLITE', 'x')", "2"},
        {"Between", "SELECT Count(*) FROM Nomi WHERE nome Between 'ÈA' And 'èb'", "2"},
        {"a join on text", "SELECT Count(*) FROM Nomi AS a INNER JOIN Nomi AS b ON a.nome = b.nome", "7"},
        {"GROUP BY", "SELECT Count(*) FROM Nomi GROUP BY nome ORDER BY Count(*) DESC, Min(nome)", "2;1;1;1"},
        {"ORDER BY", "SELECT nome FROM Nomi ORDER BY nome, nId", "Zeta;èa;Èb;élite;ÉLITE"},
        {"Min", "SELECT Min(nome) FROM Nomi WHERE nome Like 'è*'", "èa"},
        // Plain ASCII takes a shorter road; its order must agree with the full one.
        {"ASCII beside accented text",
         "SELECT n FROM (SELECT 'abcE' AS n FROM Nomi WHERE nome = 'Zeta' UNION SELECT 'ABCé' FROM Nomi WHERE nome = 'Zeta' "
         "UNION SELECT 'Abd' FROM Nomi WHERE nome = 'Zeta' UNION SELECT 'abc' FROM Nomi WHERE nome = 'Zeta') AS t ORDER BY n",
         "abc;abcE;ABCé;Abd"},
    };
    for (const auto& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        EXPECT_EQ(rows(sql), QString::fromUtf8(c.expected)) << c.what << "\n" << db::jet::translate(sql, db).sql.toStdString();
    }
}

} // namespace
