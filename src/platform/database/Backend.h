#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Types.h"
#include "platform/database/jet/JetSql.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>

namespace db {

// One result or table column as the engine describes it.
struct ColumnMeta {
    QString name;         // the result column's name
    QString table;        // base table; empty for an expression
    QString column;       // base column name
    DataType type = DataType::Variant;
    int definedSize = 0;
    bool autoIncrement = false;
    bool nullable = true;
};

// A table as stored: columns in order and the columns that identify a row
// (the counter or primary key, else a unique index; empty when there is none).
struct TableMeta {
    QString name;
    QVector<ColumnMeta> columns;
    QStringList primaryKey;
    QStringList rowKey;
};

// Every row of a query, fetched at once so no statement stays open.
struct ResultSet {
    QVector<ColumnMeta> columns;
    QVector<QVector<core::Variant>> rows;
};

// A column with a value: assigned by an INSERT or UPDATE, or tested in a WHERE.
struct ColumnValue {
    QString column;
    DataType type = DataType::Variant;
    core::Variant value;
};

// The engine behind connections and recordsets. The layer above speaks only
// through this interface, so another engine could stand in later; every call
// reports a failure as DbError.
class Backend {
public:
    virtual ~Backend() = default;

    // Opens an existing file (never creates one) and checks with a query that it is a database.
    virtual void open(const QString& path, int busyTimeoutMs) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Runs one or more statements in the engine's dialect; returns the rows changed.
    virtual long execute(const QString& sql) = 0;
    // Runs a query. `resultTypes` give a type to expression columns the engine cannot type.
    virtual ResultSet query(const QString& sql, const QVector<std::optional<DataType>>& resultTypes) = 0;

    // begin() takes the write lock at once.
    virtual void begin() = 0;
    // A transaction that only reads: its first read fixes what every later read
    // of it sees, and writers of other connections wait until it ends.
    virtual void beginRead() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // A nested, named scope inside a transaction.
    virtual void savepoint(const QString& name) = 0;
    virtual void releaseSavepoint(const QString& name) = 0;
    virtual void rollbackToSavepoint(const QString& name) = 0;

    // User tables in the order they were created (none of the engine's own).
    virtual QStringList tableNames() = 0;
    // Throws NoSuchObject when the table does not exist.
    virtual TableMeta tableMeta(const QString& table) = 0;
    // The Jet names of the table's indexes, in creation order (none of the engine's own).
    virtual QStringList indexNames(const QString& table) = 0;

    // Row writes. `where` compares each column with its value (Null: IS NULL);
    // `onlyOneRow` limits the change to one matching row when no key identifies it.
    // insertRow returns the new row's engine id, for fetchRow.
    virtual qint64 insertRow(const QString& table, const QVector<ColumnValue>& values) = 0;
    virtual long updateRow(const QString& table, const QVector<ColumnValue>& set, const QVector<ColumnValue>& where,
                           bool onlyOneRow) = 0;
    virtual long deleteRow(const QString& table, const QVector<ColumnValue>& where, bool onlyOneRow) = 0;
    virtual QVector<core::Variant> fetchRow(const QString& table, qint64 rowId, const QVector<ColumnMeta>& columns) = 0;

    // Changes a column's definition, keeping the rows and the indexes.
    virtual void alterColumn(const jet::AlterColumn& change) = 0;

    // Rewrites what an earlier release stored differently (see Connection::upgradeStorage);
    // returns the tables rewritten.
    virtual int upgradeStorage() = 0;
    // The engine's quick check of the file: "ok" or the first problem found.
    virtual QString quickCheck() = 0;
    // How long this open connection waits for a locked file before Busy.
    virtual void setBusyTimeout(int milliseconds) = 0;
};

// The engine in use.
std::unique_ptr<Backend> createBackend();
// Creates an empty database file; fails when the file exists.
void createDatabaseFile(const QString& path);
// True when another connection, of this process or another, holds a lock on the
// file right now; tells by taking and releasing the file's exclusive lock.
bool databaseFileInUse(const QString& path);

} // namespace db
