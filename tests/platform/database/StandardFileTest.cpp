// The database file stays a standard SQLite file that other tools can check,
// query and write; a file of an earlier release is converted once; damage is
// found and named; a text is never stored cut.
#include "DatabaseFixture.h"
#include "StandardSqliteCheck.h"

#include "platform/database/Catalog.h"
#include "platform/database/jet/SqliteExtensions.h"

#include <QFile>
#include <sqlite3.h>

using db::ErrorKind;

namespace {

class StandardFileTest : public DatabaseFixture {
protected:
    // Runs raw statements on a file, with the layer's extensions registered as
    // an earlier release of the layer had them.
    static void rawExec(const QString& file, const char* sql)
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
        db::jet::registerSqliteExtensions(raw);
        char* error = nullptr;
        const int rc = sqlite3_exec(raw, sql, nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(raw);
    }

    // A copy of the database file, for a check that writes into it.
    QString copyOf(const QString& file, const QString& name)
    {
        const QString copy = dir.filePath(name);
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(file, copy));
        return copy;
    }

    QString text(const QString& sql)
    {
        db::Recordset rs;
        rs.open(sql, connection, db::CursorType::Static, db::LockType::ReadOnly);
        QStringList values;
        for (; !rs.eof(); rs.moveNext())
            values << rs.value(0).toString();
        return values.join(QLatin1Char(','));
    }
};

TEST_F(StandardFileTest, StandardToolsCheckQueryAndWriteAFileTheLayerMade)
{
    const char* ddl[] = {
        "CREATE TABLE Tipi (tId COUNTER, tTesto TEXT(20) NOT NULL, tLibero TEXT, tMemo MEMO, tLong LONG, tShort INTEGER, "
        "tByte BYTE, tFlag YESNO, tSoldi CURRENCY, tDouble DOUBLE, tSingle SINGLE, tData DATETIME, tBlob LONGBINARY, "
        "tBin BINARY(8))",
        "CREATE INDEX PrimaryKey ON Tipi (tId) WITH PRIMARY",
        "CREATE INDEX tLong ON Tipi (tLong)",
        "CREATE TABLE Codici (cdiCodice TEXT(3), cdiDescr TEXT(50))",
        "CREATE INDEX PrimaryKey ON Codici (cdiCodice) WITH PRIMARY",
        "INSERT INTO Tipi (tTesto, tLibero, tMemo, tLong, tFlag, tSoldi, tData) "
        "VALUES ('Città', 'b', 'una nota', 1, True, 12.34, #03/05/2024#)",
        "INSERT INTO Tipi (tTesto) VALUES ('alfa')",
        "INSERT INTO Codici (cdiCodice, cdiDescr) VALUES ('N1', 'Escluso')",
    };
    for (const char* sql : ddl)
        connection.execute(QString::fromUtf8(sql));
    connection.close();

    EXPECT_EQ(standardSqliteCheck(path), QString());

    // What the other tool wrote reads back through the layer.
    connection.open(connectionString());
    EXPECT_EQ(text(QStringLiteral("SELECT tTesto FROM Tipi WHERE tTesto = 'Z' OR tTesto = 'CITTÀ' ORDER BY tTesto")),
              QStringLiteral("Città,z"));
    EXPECT_EQ(text(QStringLiteral("SELECT cdiCodice FROM Codici ORDER BY cdiCodice")), QStringLiteral("N1,z"));
}

TEST_F(StandardFileTest, AFileOfAnEarlierReleaseOpensAndIsConvertedOnce)
{
    connection.close();
    QFile::remove(path);
    rawExec(path,
            "CREATE TABLE \"Codici\" (\"cdiCodice\" VARCHAR(3) COLLATE JETTEXT CONSTRAINT \"len_cdiCodice\" "
            "CHECK (length(\"cdiCodice\") <= 3) NOT NULL, \"cdiDescr\" VARCHAR(50) COLLATE JETTEXT CONSTRAINT \"len_cdiDescr\" "
            "CHECK (length(\"cdiDescr\") <= 50), \"cdiValore\" DOUBLE);"
            "CREATE UNIQUE INDEX \"Codici.PrimaryKey\" ON \"Codici\" (\"cdiCodice\");"
            "CREATE TABLE \"Doc\" (\"docId\" INTEGER PRIMARY KEY AUTOINCREMENT, \"docNo\" LONGINT, \"docDesc\" VARCHAR(10) "
            "COLLATE JETTEXT CONSTRAINT \"len_docDesc\" CHECK (length(\"docDesc\") <= 10), \"docNote\" LONGTEXT COLLATE JETTEXT, "
            "\"docTot\" CURRENCY);"
            "CREATE INDEX \"Doc.docNo\" ON \"Doc\" (\"docNo\");"
            "CREATE TABLE \"Numeri\" (\"n\" LONGINT);"
            "INSERT INTO Codici VALUES ('22', 'Ordinaria', 22), ('N1', 'Escluso', 0);"
            "INSERT INTO Doc (docNo, docDesc, docNote, docTot) VALUES (1, 'Prima', 'nota', 10.5), (2, 'seconda', NULL, 20),"
            " (3, 'terza', NULL, 30);"
            "DELETE FROM Doc WHERE docNo = 3;");
    ASSERT_TRUE(standardSqliteCheck(copyOf(path, QStringLiteral("before.mdb"))).contains(QLatin1String("collation")))
        << "the old declarations are what other tools cannot read";

    connection.open(connectionString());
    EXPECT_EQ(text(QStringLiteral("SELECT docDesc FROM Doc WHERE docDesc = 'PRIMA'")), QStringLiteral("Prima"))
        << "an old file works before it is converted";
    EXPECT_EQ(connection.upgradeStorage(), 2);
    EXPECT_EQ(connection.upgradeStorage(), 0);

    EXPECT_EQ(text(QStringLiteral("SELECT docDesc & '/' & docNote & '/' & docTot FROM Doc ORDER BY docId")),
              QStringLiteral("Prima/nota/10.5,seconda//20"));
    connection.execute(QStringLiteral("INSERT INTO Doc (docNo) VALUES (4)"));
    EXPECT_EQ(text(QStringLiteral("SELECT docId FROM Doc WHERE docNo = 4")), QStringLiteral("4")) << "the counter never gives 3 again";
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("INSERT INTO Codici (cdiCodice) VALUES ('n1')")), ErrorKind::Constraint);
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("INSERT INTO Doc (docDesc) VALUES ('undici car.')")), ErrorKind::TooLong);
    EXPECT_EQ(connection.catalog().indexNames(QStringLiteral("Doc")), QStringList{QStringLiteral("docNo")});
    EXPECT_EQ(connection.catalog().indexNames(QStringLiteral("Codici")), QStringList{QStringLiteral("PrimaryKey")});
    EXPECT_EQ(connection.catalog().table(QStringLiteral("Codici")).primaryKey, QVector<QString>{QStringLiteral("cdiCodice")});
    connection.close();

    EXPECT_EQ(standardSqliteCheck(path), QString());
}

TEST_F(StandardFileTest, QuickCheckFindsDamageAndEveryLaterErrorNamesTheFile)
{
    EXPECT_EQ(connection.quickCheck(), QStringLiteral("ok"));
    connection.execute(QStringLiteral("CREATE TABLE Righe (rId COUNTER, rTesto TEXT(200))"));
    connection.beginTrans();
    for (int i = 0; i < 400; ++i)
        connection.execute(QStringLiteral("INSERT INTO Righe (rTesto) VALUES ('%1')").arg(QString(150, QLatin1Char('a' + i % 26))));
    connection.commitTrans();
    connection.close();

    // Garbage over a page of the table, after the schema's page.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_GT(file.size(), 8 * 4096);
        file.seek(6 * 4096);
        file.write(QByteArray(4096, '\xee'));
    }
    connection.open(connectionString());
    QString problem;
    try {
        problem = connection.quickCheck();
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::NotADatabase);
        problem = e.description();
    }
    EXPECT_NE(problem, QStringLiteral("ok"));
    EXPECT_FALSE(problem.isEmpty());

    try {
        text(QStringLiteral("SELECT rTesto FROM Righe"));
        ADD_FAILURE() << "a damaged table was read";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::NotADatabase);
        EXPECT_TRUE(e.description().contains(path)) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QLatin1String("danneggiato"))) << e.description().toStdString();
    }
}

TEST_F(StandardFileTest, ATextHoldingNulIsRefusedNeverCut)
{
    createDocuments();
    const QString withNul = QStringLiteral("prima") + QChar(0) + QStringLiteral("dopo");
    for (const char* column : {"docDesc", "docNote"}) {
        db::Recordset rs = openBatch(QStringLiteral("SELECT * FROM Doc"), connection);
        rs.addNew();
        try {
            rs.setValue(QString::fromLatin1(column), core::Variant(withNul));
            ADD_FAILURE() << column << " took the text";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.kind(), ErrorKind::Constraint) << column;
            EXPECT_TRUE(e.description().contains(QLatin1String("carattere nullo"))) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains(QLatin1String(column)));
        }
        rs.cancelUpdate();
    }
    EXPECT_DB_ERROR(connection.execute(QStringLiteral("INSERT INTO Doc (docDesc) VALUES ('") + withNul + QStringLiteral("')")),
                    ErrorKind::Syntax);
    EXPECT_EQ(count(QStringLiteral("Doc")), 0);
}

} // namespace
