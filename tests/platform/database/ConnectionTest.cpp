#include "DatabaseFixture.h"

#include "platform/database/Catalog.h"
#include "support/BusyTimeout.h"

#include <QElapsedTimer>
#include <QFile>
#include <sqlite3.h>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#endif

using db::ErrorKind;

namespace {

struct OpenCase {
    const char* name;
    QByteArray content; // empty with `create` false: no file at all
    bool create;
    ErrorKind expected;
};

void PrintTo(const OpenCase& c, std::ostream* os)
{
    *os << c.name;
}

class OpenTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenTest, RefusesWhatIsNotADatabaseAndNeverCreatesAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qelvo.mdb"));
    if (GetParam().create) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().content);
    }
    db::Connection connection;
    EXPECT_DB_ERROR(connection.open(db::Connection::connectionStringFor(path)), GetParam().expected);
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(QFile::exists(path), GetParam().create);
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenTest,
    ::testing::Values(OpenCase{"missing", {}, false, ErrorKind::FileNotFound},
                      OpenCase{"garbage", QByteArray("Standard Jet DB\0garbage that is no SQLite file at all", 52),
                               true, ErrorKind::NotADatabase},
                      OpenCase{"empty", {}, true, ErrorKind::NotADatabase},
                      OpenCase{"damaged", QByteArray("SQLite format 3\0", 16) + QByteArray(4000, '\x7f'), true,
                               ErrorKind::NotADatabase}),
    [](const auto& info) { return std::string(info.param.name); });

class ConnectionTest : public DatabaseFixture {};

TEST_F(ConnectionTest, OpensACreatedFileAndRefusesToCreateOverIt)
{
    EXPECT_TRUE(connection.isOpen());
    EXPECT_EQ(connection.databasePath(), path);
    EXPECT_DB_ERROR(db::Connection::createDatabase(path), ErrorKind::AlreadyExists);
}

TEST_F(ConnectionTest, ExecuteReturnsTheRowsAffected)
{
    createCodes();
    EXPECT_EQ(connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice, cdiValore) VALUES ('22', 22)")), 1);
    EXPECT_EQ(connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice, cdiValore) VALUES ('10', 10)")), 1);
    EXPECT_EQ(connection.execute(QStringLiteral("UPDATE Codici SET cdiValore = cdiValore + 1")), 2);
    EXPECT_EQ(connection.execute(QStringLiteral("DELETE * FROM Codici WHERE cdiCodice = '10'")), 1);
    EXPECT_EQ(connection.execute(QStringLiteral("DELETE * FROM Codici WHERE cdiCodice = 'XX'")), 0);
}

TEST_F(ConnectionTest, ErrorsCarryTheirKind)
{
    createCodes();
    connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('22')"));
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('22')")), ErrorKind::Constraint);
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("SELECT * FROM Nessuna")), ErrorKind::NoSuchObject);
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("CREATE TABLE Codici (a LONG)")), ErrorKind::AlreadyExists);
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("SELEC * FROM Codici")), ErrorKind::Syntax);
    connection.close();
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("DELETE * FROM Codici")), ErrorKind::InvalidOperation);
}

TEST_F(ConnectionTest, AMissingTableOrColumnIsNamedInWords)
{
    createCodes();
    const struct {
        const char* sql;
        const char* text;
    } cases[] = {
        {"SELECT * FROM Nessuna", "La tabella 'Nessuna' non esiste nel database."},
        {"SELECT nessuno FROM Codici", "La colonna 'nessuno' non esiste nel database."},
    };
    for (const auto& c : cases) {
        try {
            connection.execute(QString::fromLatin1(c.sql));
            ADD_FAILURE() << "no error from " << c.sql;
        } catch (const db::DbError& error) {
            EXPECT_EQ(error.kind(), ErrorKind::NoSuchObject) << c.sql;
            EXPECT_EQ(error.text(), QString::fromUtf8(c.text)) << c.sql;
        }
    }
}

TEST_F(ConnectionTest, TextLongerThanTheColumnIsTooLongNamingTheColumn)
{
    createCodes();
    try {
        connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('ABCD')"));
        FAIL() << "four characters went into TEXT(3)";
    } catch (const db::DbError& error) {
        EXPECT_EQ(error.kind(), ErrorKind::TooLong);
        EXPECT_EQ(error.number(), db::ErrorNumber::TooLong);
        EXPECT_TRUE(error.description().contains(QLatin1String("cdiCodice"))) << error.description().toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("Codici")), 0);
}

TEST_F(ConnectionTest, RollbackLeavesNothingAndCommitKeepsAll)
{
    createCodes();
    connection.beginTrans();
    EXPECT_TRUE(connection.inTransaction());
    connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('A')"));
    connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('B')"));
    connection.rollbackTrans();
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(count(QStringLiteral("Codici")), 0);

    connection.beginTrans();
    connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('A')"));
    connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('B')"));
    connection.commitTrans();
    db::Connection other = otherConnection();
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Codici"), other);
    EXPECT_EQ(rs.recordCount(), 2);
}

TEST_F(ConnectionTest, ClosingInsideATransactionKeepsNothingOfIt)
{
    createCodes();
    connection.beginTrans();
    connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('A')"));
    connection.close();
    connection.open(connectionString());
    EXPECT_EQ(count(QStringLiteral("Codici")), 0);
}

TEST_F(ConnectionTest, AbandonRollsBackClosesAndNeverThrows)
{
    createCodes();
    connection.beginTrans();
    connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('A')"));
    connection.abandon();
    EXPECT_FALSE(connection.isOpen());
    connection.abandon(); // already closed: nothing to do, no error
    connection.open(connectionString());
    EXPECT_EQ(count(QStringLiteral("Codici")), 0);
}

TEST_F(ConnectionTest, ATransactionHoldsTheWriteLockSoAnotherMachineIsBusy)
{
    createCodes();
    const BusyTimeout shortWait(200);
    db::Connection other = otherConnection();
    connection.beginTrans();
    QElapsedTimer timer;
    timer.start();
    EXPECT_DB_ERROR(other.beginTrans(), ErrorKind::Busy);
    EXPECT_GE(timer.elapsed(), 150);
    EXPECT_FALSE(other.inTransaction());
    EXPECT_DB_ERROR(other.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('B')")), ErrorKind::Busy);
    // Reading is not blocked by a writer that has not committed yet.
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Codici"), other);
    EXPECT_TRUE(rs.eof());
    connection.commitTrans();
    other.beginTrans();
    other.rollbackTrans();
}

TEST_F(ConnectionTest, AFileHeldExclusivelyIsBusyAtOpen)
{
    createCodes();
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &holder, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const BusyTimeout shortWait(100);
    db::Connection late;
    EXPECT_DB_ERROR(late.open(connectionString()), ErrorKind::Busy);
    EXPECT_FALSE(late.isOpen());
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    late.open(connectionString());
    EXPECT_TRUE(late.isOpen());
}

TEST_F(ConnectionTest, NestedTransactionsAreRefused)
{
    connection.beginTrans();
    EXPECT_DB_ERROR(connection.beginTrans(), ErrorKind::InvalidOperation);
    connection.rollbackTrans();
    EXPECT_DB_ERROR(connection.commitTrans(), ErrorKind::InvalidOperation);
}

TEST_F(ConnectionTest, CatalogListsUserTablesInCreationOrder)
{
    createDocuments();
    createCodes();
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo) VALUES (1)")); // the engine's sequence table appears
    const db::Catalog catalog = connection.catalog();
    const QVector<db::TableInfo> tables = catalog.tables();
    ASSERT_EQ(tables.size(), 2);
    EXPECT_EQ(tables[0].name, QStringLiteral("Doc"));
    EXPECT_EQ(tables[1].name, QStringLiteral("Codici"));
    for (const auto& table : tables)
        EXPECT_EQ(table.type, QStringLiteral("TABLE"));

    const db::TableInfo doc = tables[0];
    ASSERT_EQ(doc.columns.size(), 7);
    EXPECT_EQ(doc.columns[0].name, QStringLiteral("docId"));
    EXPECT_TRUE(doc.columns[0].autoIncrement);
    EXPECT_EQ(doc.columns[0].type, db::DataType::Integer);
    EXPECT_EQ(doc.columns[2].type, db::DataType::VarWChar);
    EXPECT_EQ(doc.columns[2].definedSize, 10);
    EXPECT_EQ(doc.columns[3].type, db::DataType::Currency);
    EXPECT_EQ(doc.columns[4].type, db::DataType::Date);
    EXPECT_EQ(doc.columns[5].type, db::DataType::Boolean);
    EXPECT_EQ(doc.columns[6].type, db::DataType::LongVarWChar);
    EXPECT_EQ(doc.primaryKey, QVector<QString>{QStringLiteral("docId")});
    EXPECT_EQ(catalog.table(QStringLiteral("codici")).primaryKey, QVector<QString>{QStringLiteral("cdiCodice")});
    EXPECT_TRUE(catalog.hasTable(QStringLiteral("DOC")));
    EXPECT_FALSE(catalog.hasTable(QStringLiteral("sqlite_sequence")));
    EXPECT_DB_ERROR(catalog.table(QStringLiteral("Nessuna")), ErrorKind::NoSuchObject);
    catalog.setAllowZeroLength(QStringLiteral("Doc"), QStringLiteral("docDesc"), true);
    EXPECT_DB_ERROR(catalog.setAllowZeroLength(QStringLiteral("Doc"), QStringLiteral("nessuno"), true), ErrorKind::NoSuchObject);
}

TEST_F(ConnectionTest, AlterColumnWidensATextAndKeepsRowsIndexesAndCounter)
{
    createDocuments();
    connection.execute(QStringLiteral("CREATE UNIQUE INDEX ixNo ON Doc (docNo)"));
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo, docDesc) VALUES (1, 'uno')"));
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo, docDesc) VALUES (2, 'due')"));
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo, docDesc) VALUES (3, 'tre')"));
    connection.execute(QStringLiteral("DELETE * FROM Doc WHERE docNo = 3"));

    connection.execute(QStringLiteral("ALTER TABLE Doc ALTER COLUMN docDesc TEXT(255)"));

    const db::TableInfo doc = connection.catalog().table(QStringLiteral("Doc"));
    EXPECT_EQ(doc.columns[2].definedSize, 255);
    EXPECT_TRUE(doc.columns[0].autoIncrement);
    EXPECT_EQ(count(QStringLiteral("Doc")), 2);
    connection.execute(QStringLiteral("UPDATE Doc SET docDesc = '%1' WHERE docNo = 1").arg(QString(200, QLatin1Char('x'))));
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("INSERT INTO Doc (docNo) VALUES (2)")), ErrorKind::Constraint);
    // The counter goes on after the highest number given, not after the highest kept.
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo) VALUES (4)"));
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT docId FROM Doc WHERE docNo = 4"), connection);
    EXPECT_EQ(rs.value(0).toLong(), 4);
}

TEST_F(ConnectionTest, AlterColumnThatDoesNotFitLeavesTheTableAsItWas)
{
    createDocuments();
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo, docDesc) VALUES (1, 'dieci car.')"));
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("ALTER TABLE Doc ALTER COLUMN docDesc TEXT(5)")), ErrorKind::TooLong);
    EXPECT_EQ(connection.catalog().table(QStringLiteral("Doc")).columns[2].definedSize, 10);
    EXPECT_EQ(count(QStringLiteral("Doc")), 1);
    EXPECT_EQ(connection.catalog().tables().size(), 1);
}

// Connections on one file share the table descriptions they read; a column
// added since, by another process or another connection, must be seen by each.
TEST_F(ConnectionTest, TableDescriptionsFollowAColumnAddedElsewhere)
{
    createDocuments();
    auto extraType = [](const db::Connection& on) {
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Doc"), on, db::CursorType::Static, db::LockType::ReadOnly);
        return rs.fieldCount() == 8 ? std::optional<db::DataType>(rs.field(QStringLiteral("docExtra")).type()) : std::nullopt;
    };
    auto describedBy = [&](const db::Connection& on) {
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT * FROM Doc"), on, db::CursorType::Static, db::LockType::ReadOnly);
        EXPECT_EQ(rs.fieldCount(), 7);
    };

    // Another process, which leaves the file's size and time of change as they were:
    // only the schema version tells.
    describedBy(connection);
    describedBy(otherConnection());
#ifndef Q_OS_WIN
    struct stat before;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
#endif
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "ALTER TABLE Doc ADD COLUMN docExtra INTEGER", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
#ifndef Q_OS_WIN
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    struct stat after;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    ASSERT_EQ(after.st_size, before.st_size);
#endif
    EXPECT_EQ(extraType(otherConnection()), db::DataType::Integer);
    EXPECT_EQ(extraType(connection), db::DataType::Integer);

    // Another connection of this process.
    db::Connection other = otherConnection();
    other.execute(QStringLiteral("ALTER TABLE Doc DROP COLUMN docExtra"));
    describedBy(connection);
    other.execute(QStringLiteral("ALTER TABLE Doc ADD COLUMN docExtra TEXT(20)"));
    EXPECT_EQ(extraType(otherConnection()), db::DataType::VarWChar);
    EXPECT_EQ(extraType(connection), db::DataType::VarWChar);
}

// A closed connection's handle may serve the next one on the file: never once
// another file has taken its place.
TEST_F(ConnectionTest, AFileReplacedByAnotherIsReadAsTheNewFile)
{
    createDocuments();
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo) VALUES (1)"));
    connection.close();
    const QString replacement = dir.filePath(QStringLiteral("altro.mdb"));
    db::Connection::createDatabase(replacement);
    {
        db::Connection other;
        other.open(db::Connection::connectionStringFor(replacement));
        other.execute(QStringLiteral("CREATE TABLE Doc (docId COUNTER, docNo LONG, docAltro LONG)"));
    }
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::copy(replacement, path));

    connection.open(connectionString());
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Doc"), connection, db::CursorType::Static, db::LockType::ReadOnly);
    EXPECT_EQ(rs.fieldCount(), 3);
    EXPECT_TRUE(rs.eof());
}

} // namespace
