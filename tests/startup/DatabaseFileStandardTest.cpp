// The program's database is a standard SQLite file, and its linking columns
// are indexed: in the template, and by the start's upgrade on older files.
#include "platform/database/Catalog.h"
#include "platform/database/Connection.h"
#include "platform/database/jet/SqliteExtensions.h"
#include "platform/database/jet/TestDatabase.h"
#include "platform/database/StandardSqliteCheck.h"
#include "startup/DatabaseFile.h"
#include "startup/Schema.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace {

class DatabaseFileStandardTest : public ProgramFixture {
protected:
    QString copyOfDatabase(const QString& name)
    {
        const QString copy = QDir(m_home.path()).filePath(name);
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(defaultDatabasePath(), copy));
        return copy;
    }

    QStringList indexes(const QString& table)
    {
        db::Connection cn;
        cn.open(session().dataConStr);
        return cn.catalog().indexNames(table);
    }
};

TEST_F(DatabaseFileStandardTest, TheTemplateAndAnUpgradedDatabaseServeTheStandardTools)
{
    useFreshDatabase();
    EXPECT_EQ(standardSqliteCheck(copyOfDatabase(QStringLiteral("template.mdb"))), QString());

    // A table as an earlier release declared it: the start converts it too.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(defaultDatabasePath().toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    db::jet::registerSqliteExtensions(raw);
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TABLE \"Appunti\" (\"appId\" INTEGER PRIMARY KEY AUTOINCREMENT, \"appTesto\" VARCHAR(50) "
                           "COLLATE JETTEXT CONSTRAINT \"len_appTesto\" CHECK (length(\"appTesto\") <= 50));"
                           "INSERT INTO Appunti (appTesto) VALUES ('Città');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    AggiornaDb();
    CaricaUms();
    CreaTabelleFin();
    CaricaModelli();
    exec(QStringLiteral("INSERT INTO CliFor (cliNome, sezId) VALUES ('Rossi', 1)"));
    EXPECT_EQ(standardSqliteCheck(copyOfDatabase(QStringLiteral("upgraded.mdb"))), QString());
}

TEST_F(DatabaseFileStandardTest, LinkingIndexesComeWithTheTemplateAndTheUpgrade)
{
    useFreshDatabase();
    for (const startup::LinkingIndex& index : startup::linkingIndexes()) {
        if (index.inTemplate) {
            EXPECT_TRUE(indexes(QLatin1String(index.table)).contains(QLatin1String(index.name))) << index.name;
        }
    }

    // A file of an earlier release has none of them.
    for (const startup::LinkingIndex& index : startup::linkingIndexes())
        if (index.inTemplate)
            exec(QStringLiteral("DROP INDEX %1 ON %2").arg(QLatin1String(index.name), QLatin1String(index.table)));
    AggiornaDb();
    for (const startup::LinkingIndex& index : startup::linkingIndexes())
        EXPECT_TRUE(indexes(QLatin1String(index.table)).contains(QLatin1String(index.name))) << index.name;

    db::Connection cn;
    cn.open(session().dataConStr);
    EXPECT_EQ(startup::createLinkingIndexes(cn), 0) << "a second start creates nothing";
}

// The program's look-ups by a linking column search its index instead of
// reading the whole table.
TEST(LinkingIndexUse, TheProgramsLookUpsSearchTheirIndex)
{
    TestDatabase db;
    for (const QString& sql : startup::templateSchemaStatements())
        db.exec(sql);
    int count = 0;
    const char* const* upgrade = StatementiAggiornaDb(&count);
    for (int i = 0; i < count; ++i) {
        try {
            db.exec(QString::fromUtf8(upgrade[i]));
        } catch (const core::Error&) {
        }
    }
    for (const startup::LinkingIndex& index : startup::linkingIndexes())
        if (!index.inTemplate)
            db.exec(startup::linkingIndexStatement(index));

    struct Case {
        const char* sql;
        const char* index;
    };
    const Case cases[] = {
        {"SELECT * FROM FattureDettaglio WHERE fdtfatId=7 ORDER BY fdtId", "FattureDettaglio.fdtfatId"},
        {"DELETE * FROM FattureIVA WHERE fcifatId=7", "FattureIva.fcifatId"},
        {"SELECT * FROM Fatture WHERE fatCliForId=7", "Fatture.fatCliForId"},
        {"SELECT Fatture.fatId, cliNome FROM Fatture INNER JOIN CliFor ON Fatture.fatCliForId = CliFor.cliId "
         "WHERE fatTipo<2 AND Year(fatData)=Year(#03/05/2024#) AND Fatture.sezId=1",
         "Fatture.sezIdfatData"},
        {"SELECT Fatture.* FROM Fatture WHERE (fatData Between #01/01/2024# And #12/31/2024#) AND (fatTipo=0) AND Fatture.sezId=1",
         "Fatture.sezIdfatData"},
        {"SELECT * FROM Incassi WHERE incFatId=7", "Incassi.incFatId"},
        {"SELECT * FROM Prestazioni WHERE preCliId=7", "Prestazioni.preCliId"},
        {"SELECT * FROM SezioniParametri WHERE parsezId=1 AND parKey4=2024 AND parKey3='B'", "SezioniParametri.parsezIdparKey4"},
    };
    for (const auto& c : cases) {
        const QString sql = QStringLiteral("EXPLAIN QUERY PLAN ") + db::jet::translate(QString::fromUtf8(c.sql), db).sql;
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db.handle(), sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK) << c.sql;
        QStringList plan;
        while (sqlite3_step(st) == SQLITE_ROW)
            plan << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)));
        sqlite3_finalize(st);
        EXPECT_TRUE(plan.join(QLatin1Char('\n')).contains(QStringLiteral("INDEX ") + QLatin1String(c.index)))
            << c.sql << "\n" << plan.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace

TEST(DatabasePathShown, HasOneSeparatorBeforeTheFileName)
{
    const QString saved = session().cartellaDb;
    for (const char* folder : {"/dati/TarvixDB", "/dati/TarvixDB/", "/dati//TarvixDB//"}) {
        SCOPED_TRACE(folder);
        session().cartellaDb = QString::fromLatin1(folder);
        EXPECT_EQ(PercorsoDatabaseMostrato(), QStringLiteral("/dati/TarvixDB/qelvo.mdb"));
    }
    session().cartellaDb = saved;
}
