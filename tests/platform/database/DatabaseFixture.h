#pragma once

#include "QtPrinters.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A fresh database file in a temporary folder, with an open connection on it.
class DatabaseFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("qelvo.mdb"));
        db::Connection::createDatabase(path);
        connection.open(connectionString());
    }

    QString connectionString() const { return db::Connection::connectionStringFor(path); }

    // A second machine on the same file.
    db::Connection otherConnection() const
    {
        db::Connection other;
        other.open(connectionString());
        return other;
    }

    // A small document table as the program keeps them.
    void createDocuments()
    {
        connection.execute(QStringLiteral(
            "CREATE TABLE Doc (docId COUNTER, docNo LONG, docDesc TEXT(10), docTot CURRENCY, docData DATETIME, "
            "docPagata YESNO, docNote MEMO)"));
    }

    // A table keyed by the index that "WITH PRIMARY" makes.
    void createCodes()
    {
        connection.execute(QStringLiteral("CREATE TABLE Codici (cdiCodice TEXT(3) NOT NULL, cdiDescr TEXT(50), cdiValore DOUBLE)"));
        connection.execute(QStringLiteral("CREATE INDEX PrimaryKey ON Codici (cdiCodice) WITH PRIMARY"));
    }

    db::Recordset openBatch(const QString& sql, const db::Connection& on)
    {
        db::Recordset rs;
        rs.open(sql, on, db::CursorType::Static, db::LockType::BatchOptimistic);
        return rs;
    }

    long count(const QString& table)
    {
        db::Recordset rs;
        rs.open(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table, connection, db::CursorType::ForwardOnly,
                db::LockType::ReadOnly);
        return rs.value(0).toLong();
    }

    QTemporaryDir dir;
    QString path;
    db::Connection connection;
};

// Expects `statement` to throw a DbError of `expectedKind`.
#define EXPECT_DB_ERROR(statement, expectedKind)                                                   \
    do {                                                                                           \
        try {                                                                                      \
            statement;                                                                             \
            ADD_FAILURE() << "no DbError from " #statement;                                        \
        } catch (const db::DbError& error) {                                                       \
            EXPECT_EQ(error.kind(), expectedKind) << error.text().toStdString();                   \
        }                                                                                          \
    } while (false)
