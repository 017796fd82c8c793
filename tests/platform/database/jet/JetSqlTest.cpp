#include "TestDatabase.h"

#include "platform/database/Types.h"
#include "platform/database/jet/JetSql.h"

#include <gtest/gtest.h>

using core::Currency;
using core::Variant;
using db::jet::translate;

namespace {

class JetSqlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("CREATE TABLE Fatture (fatId COUNTER, sezId INTEGER, fatNo LONG, fatPrefisso TEXT(5), "
                               "fatData DATETIME, fatCliForId LONG, fatTotNetto CURRENCY, fatPagata YESNO, fatNote MEMO)"));
        db.exec(QStringLiteral("CREATE INDEX PrimaryKey ON Fatture (fatId) WITH PRIMARY"));
        db.exec(QStringLiteral("CREATE TABLE Incassi (incId COUNTER, incFatId INTEGER, incData DATETIME, incImporto CURRENCY, "
                               "incDescrizione TEXT(50))"));
        db.exec(QStringLiteral("CREATE TABLE CliFor (cliId COUNTER, cliNome TEXT(50), cliLocalita TEXT(50), cliShared YESNO)"));
    }

    TestDatabase db;
};

TEST_F(JetSqlTest, CurrencySumsAndDifferencesAreExact)
{
    db.exec(QStringLiteral("INSERT INTO Fatture (fatNo, fatTotNetto) VALUES (1, 300.30)"));
    db.exec(QStringLiteral("INSERT INTO Incassi (incFatId, incImporto) VALUES (1, 100.10)"));
    db.exec(QStringLiteral("INSERT INTO Incassi (incFatId, incImporto) VALUES (1, 200.20)"));

    const QString due = QStringLiteral(
        "SELECT IIf(IsNull(Sum([incImporto])),[fatTotNetto],[fatTotNetto]-Sum([incImporto])) AS [Da incassare] "
        "FROM Incassi RIGHT JOIN Fatture ON Incassi.incFatId = Fatture.fatId GROUP BY Fatture.fatId, Fatture.fatTotNetto");
    const auto t = translate(due, db);
    ASSERT_EQ(t.resultTypes.size(), 1);
    EXPECT_EQ(t.resultTypes.front(), db::DataType::Currency);
    const Variant v = db.scalar(due);
    EXPECT_EQ(v.toCurrency(), Currency::fromUnits(0));

    // The difference compares equal to zero in the engine itself.
    EXPECT_EQ(db.query(due + QStringLiteral(" HAVING [fatTotNetto]-Sum([incImporto]) = 0")).size(), 1u);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Sum(incImporto) FROM Incassi")).toCurrency(), Currency::fromRaw(3003000));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Count(*) FROM Fatture WHERE fatTotNetto - 100.10 - 200.20 = 0")).toLong(), 0)
        << "currency minus double literals is double arithmetic in Jet too";
}

TEST_F(JetSqlTest, DateLiteralsCompareAndSortAsDays)
{
    db.exec(QStringLiteral("INSERT INTO Fatture (fatNo, fatData) VALUES (1, #03/05/2024#)"));
    db.exec(QStringLiteral("INSERT INTO Fatture (fatNo, fatData) VALUES (2, #03/05/2024 18:30#)"));
    db.exec(QStringLiteral("INSERT INTO Fatture (fatNo, fatData) VALUES (3, #12/31/23#)"));
    db.exec(QStringLiteral("INSERT INTO Fatture (fatNo, fatData) VALUES (4, #01/01/1930#)"));

    const auto rows = db.query(QStringLiteral("SELECT fatNo, fatData FROM Fatture ORDER BY fatData DESC"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0].toLong(), 2);
    EXPECT_EQ(rows[1][0].toLong(), 1);
    EXPECT_EQ(rows[2][0].toLong(), 3);
    EXPECT_EQ(rows[3][0].toLong(), 4);
    EXPECT_TRUE(rows[0][1].isDate());
    EXPECT_EQ(rows[0][1].toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(18, 30)));

    EXPECT_EQ(db.query(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatData <= #03/05/2024#")).size(), 3u);
    EXPECT_EQ(db.query(QStringLiteral("SELECT fatNo FROM Fatture WHERE fatData Between #12/31/23# And #3/5/2024 23:59:59#")).size(), 3u);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Count(*) FROM Fatture WHERE Year(fatData)=Year(#03/05/2024#)")).toLong(), 2);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Month(fatData) FROM Fatture WHERE fatNo=3")).toLong(), 12);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Day(fatData) FROM Fatture WHERE fatNo=3")).toLong(), 31);
}

TEST(JetDateLiteral, MonthDayYearWithTwoDigitYearWindow)
{
    struct Case {
        const char* text;
        QDateTime expected; // invalid: rejected
    };
    const Case cases[] = {
        {"03/05/2024", QDateTime(QDate(2024, 3, 5), QTime(0, 0))},
        {"3/5/24", QDateTime(QDate(2024, 3, 5), QTime(0, 0))},
        {"12/31/29", QDateTime(QDate(2029, 12, 31), QTime(0, 0))},
        {"01/01/30", QDateTime(QDate(1930, 1, 1), QTime(0, 0))},
        {"01/01/99", QDateTime(QDate(1999, 1, 1), QTime(0, 0))},
        {"01/01/00", QDateTime(QDate(2000, 1, 1), QTime(0, 0))},
        {"2024-03-05", QDateTime(QDate(2024, 3, 5), QTime(0, 0))},
        {"03/05/2024 10:30:15", QDateTime(QDate(2024, 3, 5), QTime(10, 30, 15))},
        {"03/05/2024 10:30 PM", QDateTime(QDate(2024, 3, 5), QTime(22, 30))},
        {"13/05/2024", QDateTime()},
        {"02/30/2024", QDateTime()},
        {"hello", QDateTime()},
        {"", QDateTime()},
    };
    for (const auto& c : cases) {
        const auto d = db::jet::parseDateLiteral(QString::fromLatin1(c.text));
        if (!c.expected.isValid()) {
            EXPECT_FALSE(d.has_value()) << c.text;
            continue;
        }
        ASSERT_TRUE(d.has_value()) << c.text;
        EXPECT_EQ(core::dateTimeFromSerial(d->serial), c.expected) << c.text;
    }
}

TEST_F(JetSqlTest, ExpressionsFollowJetRules)
{
    db.exec(QStringLiteral("INSERT INTO CliFor (cliNome, cliLocalita, cliShared) VALUES ('D''Amico', Null, TRUE)"));
    db.exec(QStringLiteral("INSERT INTO Fatture (fatNo, fatPrefisso, fatTotNetto, fatPagata) VALUES (12, 'A', 10, False)"));

    struct Case {
        const char* sql;
        Variant expected;
    };
    const Case cases[] = {
        // & treats Null as empty text, numbers as digits.
        {"SELECT cliNome & ' [' & cliLocalita & ']' FROM CliFor", Variant("D'Amico []")},
        {"SELECT [fatNo] & [fatPrefisso] FROM Fatture", Variant("12A")},
        {"SELECT 1 + 2 & 3 FROM Fatture", Variant("33")},
        {"SELECT \"double quoted\" & 'x' FROM CliFor", Variant("double quotedx")},
        {"SELECT IIf(IsNull([cliLocalita]),'',' [' & [cliLocalita] & ']') FROM CliFor", Variant("")},
        {"SELECT IIf([cliShared]=True,'Sì','No') FROM CliFor", Variant("Sì")},
        {"SELECT IsNull(cliLocalita) FROM CliFor", Variant(std::int32_t(-1))},
        {"SELECT cliShared FROM CliFor", Variant(true)},
        {"SELECT Nz(cliLocalita, 'none') FROM CliFor", Variant("none")},
        {"SELECT Count(*) FROM CliFor WHERE cliNome = 'd''amico'", Variant(std::int32_t(1))},
        {"SELECT Count(*) FROM CliFor WHERE cliNome Like 'd*'", Variant(std::int32_t(1))},
        {"SELECT Count(*) FROM CliFor WHERE cliNome Like 'D?AMIC%'", Variant(std::int32_t(1))},
        {"SELECT Count(*) FROM CliFor WHERE cliNome Like '[a-d]*'", Variant(std::int32_t(1))},
        {"SELECT Count(*) FROM CliFor WHERE cliNome Not Like '*x*'", Variant(std::int32_t(1))},
        {"SELECT Count(*) FROM CliFor WHERE cliShared=TRUE AND NOT cliLocalita Is Not Null", Variant(std::int32_t(1))},
        {"SELECT Count(*) FROM Fatture WHERE fatPagata=False AND fatNo In (1, 12)", Variant(std::int32_t(1))},
        {"SELECT 7 / 2 FROM Fatture", Variant(3.5)},
        {"SELECT 7 \\ 2 FROM Fatture", Variant(std::int32_t(3))},
        {"SELECT 7 Mod 4 FROM Fatture", Variant(std::int32_t(3))},
        {"SELECT -2 ^ 2 FROM Fatture", Variant(-4.0)}, // ^ binds tighter than the sign
        {"SELECT UCase(cliNome) & LCase('ÀB') FROM CliFor", Variant("D'AMICOàb")},
        {"SELECT Left(cliNome, 2) & Right(cliNome, 3) & Mid(cliNome, 3, 2) & Len(cliNome) FROM CliFor", Variant("D'icoAm7")},
        {"SELECT Trim('  a  ') & CStr(1.5) & CLng(2.5) & CLng(3.5) FROM CliFor", Variant("a1.524")},
        {"SELECT Int(-1.5) FROM CliFor", Variant(-2.0)},
        {"SELECT Abs(-fatTotNetto) FROM Fatture", Variant(Currency::fromUnits(10))},
        {"SELECT (SELECT Max(fatNo) FROM Fatture) FROM CliFor", Variant(std::int32_t(12))},
        {"SELECT Count(*) FROM CliFor WHERE EXISTS (SELECT * FROM Fatture WHERE fatNo = 12)", Variant(std::int32_t(1))},
        {"SELECT Count(*) FROM Fatture WHERE fatNo IN (SELECT 12 FROM CliFor)", Variant(std::int32_t(1))},
        {"SELECT Format(#03/05/2024#, 'dd\\/mm\\/yy') FROM CliFor", Variant("05/03/24")},
        {"SELECT Format(1234.5, '#,##0.00') FROM CliFor", Variant("1,234.50")},
        {"SELECT First(cliNome) FROM CliFor", Variant("D'Amico")},
    };
    for (const auto& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        Variant v;
        try {
            v = db.scalar(sql);
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.sql << ": " << e.what();
            continue;
        }
        EXPECT_TRUE(v.sameValue(c.expected) || (v.isString() && v.toString() == c.expected.toString()))
            << c.sql << " gave " << v.debugString().toStdString() << " -> " << translate(sql, db).sql.toStdString();
    }
}

TEST_F(JetSqlTest, DataChangesInJetSpelling)
{
    db.exec(QStringLiteral("INSERT INTO CliFor (cliNome) VALUES ('a')"));
    db.exec(QStringLiteral("INSERT INTO CliFor (cliNome) VALUES ('b')"));
    db.exec(QStringLiteral("UPDATE CliFor SET CliFor.cliShared = True, cliLocalita = 'Roma' WHERE CliFor.cliNome='A'"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT [cliLocalita] FROM [CliFor] WHERE [cliShared]")).toString(), QStringLiteral("Roma"));
    db.exec(QStringLiteral("DELETE * FROM CliFor WHERE cliShared=TRUE"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Count(*) FROM CliFor")).toLong(), 1);
    db.exec(QStringLiteral("DELETE CliFor.* FROM CliFor WHERE cliNome='b'"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Count(*) FROM CliFor")).toLong(), 0);
    db.exec(QStringLiteral("INSERT INTO CliFor (cliNome) SELECT fatPrefisso FROM Fatture"));
    db.exec(QStringLiteral("DELETE FROM CliFor"));
}

TEST_F(JetSqlTest, RepeatedSchemaChangesFailAsAlreadyExisting)
{
    EXPECT_THROW(db.exec(QStringLiteral("CREATE INDEX PrimaryKey ON Fatture (fatId) WITH PRIMARY")), core::Error);
    // Index names are per table in Jet: the same name on another table is fine.
    EXPECT_NO_THROW(db.exec(QStringLiteral("CREATE INDEX PrimaryKey ON Incassi (incId) WITH PRIMARY")));
    EXPECT_NO_THROW(db.exec(QStringLiteral("ALTER TABLE CliFor ADD COLUMN cliPagamento LONG")));
    try {
        db.exec(QStringLiteral("ALTER TABLE CliFor ADD COLUMN cliPagamento LONG"));
        ADD_FAILURE() << "second ADD COLUMN succeeded";
    } catch (const core::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("duplicate column"))) << e.description().toStdString();
    }
    try {
        db.exec(QStringLiteral("CREATE TABLE CliFor (x LONG)"));
        ADD_FAILURE() << "second CREATE TABLE succeeded";
    } catch (const core::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("already exists")));
    }
    db.exec(QStringLiteral("DROP INDEX PrimaryKey ON Incassi"));
    EXPECT_NO_THROW(db.exec(QStringLiteral("CREATE INDEX PrimaryKey ON Incassi (incId) WITH PRIMARY")));

    const auto alter = translate(QStringLiteral("ALTER TABLE Prestazioni ALTER COLUMN preDescrizione TEXT(255)"), db);
    EXPECT_EQ(alter.kind, db::jet::StatementKind::AlterTableAlterColumn);
    ASSERT_TRUE(alter.alterColumn.has_value());
    EXPECT_EQ(alter.alterColumn->column, QStringLiteral("preDescrizione"));
    EXPECT_TRUE(alter.alterColumn->columnDefinition.contains(QStringLiteral("VARCHAR(255)")));
    EXPECT_TRUE(alter.sql.isEmpty());
}

TEST_F(JetSqlTest, UniqueJetIndexesCompareTextWithoutCase)
{
    db.exec(QStringLiteral("CREATE TABLE Ums ( umCodice TEXT(2), umDescrizione TEXT(50))"));
    db.exec(QStringLiteral("CREATE INDEX PrimaryKey ON Ums (umCodice) WITH PRIMARY"));
    db.exec(QStringLiteral("INSERT INTO Ums (umCodice) VALUES ('NR')"));
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO Ums (umCodice) VALUES ('nr')")), core::Error);
    EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO Ums (umCodice) VALUES ('ABC')")), core::Error) << "TEXT(2) holds two characters";
}

TEST_F(JetSqlTest, StarsExpandWithJetNamesWhereTablesShareAColumn)
{
    db.exec(QStringLiteral("ALTER TABLE CliFor ADD COLUMN sezId INTEGER"));
    const auto t = translate(QStringLiteral("SELECT Fatture.*, CliFor.* FROM Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId"), db);
    EXPECT_TRUE(t.sql.contains(QStringLiteral("AS \"Fatture.sezId\""))) << t.sql.toStdString();
    EXPECT_TRUE(t.sql.contains(QStringLiteral("AS \"CliFor.sezId\"")));
    EXPECT_EQ(t.resultTypes.size(), db.columns(QStringLiteral("Fatture")).size() + db.columns(QStringLiteral("CliFor")).size());
    EXPECT_EQ(t.tables, (QStringList{QStringLiteral("Fatture"), QStringLiteral("CliFor")}));
    EXPECT_TRUE(db.prepareError(t.sql).isEmpty());

    const auto plain = translate(QStringLiteral("SELECT * FROM Fatture"), db);
    EXPECT_EQ(plain.sql, QStringLiteral("SELECT * FROM \"Fatture\""));
    EXPECT_EQ(plain.resultTypes.value(6), db::DataType::Currency);
    EXPECT_EQ(plain.resultTypes.value(7), db::DataType::Boolean);
}

TEST(JetSqlSyntax, ErrorsAreSyntaxKindNamingTheToken)
{
    struct NoSchema : db::jet::SchemaLookup {
        std::optional<db::DataType> columnType(const QString&, const QString&) const override { return std::nullopt; }
        QStringList columns(const QString&) const override { return {}; }
    } schema;
    const char* bad[] = {
        "SELECT FROM",
        "SELECT a FROM t WHERE",
        "SELECT a FROM t WHERE x = 'open",
        "SELECT a FROM t WHERE d = #13/45/2024#",
        "SELEC a FROM t",
        "SELECT a, FROM t",
        "UPDATE t SET WHERE a = 1",
        "CREATE TABLE t (a NOSUCHTYPE)",
        "SELECT a FROM t ORDER",
        "SELECT IIf(a, b) FROM t",
    };
    for (const char* sql : bad) {
        try {
            translate(QString::fromLatin1(sql), schema);
            ADD_FAILURE() << "accepted: " << sql;
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.kind(), db::ErrorKind::Syntax) << sql;
            EXPECT_EQ(e.number(), db::ErrorNumber::Syntax) << sql;
            EXPECT_TRUE(e.description().startsWith(QStringLiteral("Errore di sintassi"))) << sql;
        }
    }
}

} // namespace
