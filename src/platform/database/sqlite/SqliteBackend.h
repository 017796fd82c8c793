#pragma once

#include "platform/database/Backend.h"

#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace db::sqlite {

// The Backend over one SQLite connection. Keeps a rollback journal (never WAL:
// the file may sit on a network share), waits `busyTimeoutMs` for a locked
// file, and caches table descriptions until the schema changes.
class SqliteBackend : public Backend {
public:
    SqliteBackend();
    ~SqliteBackend() override;
    SqliteBackend(const SqliteBackend&) = delete;
    SqliteBackend& operator=(const SqliteBackend&) = delete;

    void open(const QString& path, int busyTimeoutMs) override;
    void close() override;
    bool isOpen() const override { return m_db != nullptr; }

    long execute(const QString& sql) override;
    ResultSet query(const QString& sql, const QVector<std::optional<DataType>>& resultTypes) override;

    void begin() override;
    void commit() override;
    void rollback() override;
    void beginRead() override;
    void savepoint(const QString& name) override;
    void releaseSavepoint(const QString& name) override;
    void rollbackToSavepoint(const QString& name) override;

    QStringList tableNames() override;
    TableMeta tableMeta(const QString& table) override;
    QStringList indexNames(const QString& table) override;

    qint64 insertRow(const QString& table, const QVector<ColumnValue>& values) override;
    long updateRow(const QString& table, const QVector<ColumnValue>& set, const QVector<ColumnValue>& where,
                   bool onlyOneRow) override;
    long deleteRow(const QString& table, const QVector<ColumnValue>& where, bool onlyOneRow) override;
    QVector<core::Variant> fetchRow(const QString& table, qint64 rowId, const QVector<ColumnMeta>& columns) override;

    void alterColumn(const jet::AlterColumn& change) override;
    int upgradeStorage() override;
    QString quickCheck() override;
    void setBusyTimeout(int milliseconds) override;

    static void createDatabase(const QString& path);
    static bool fileInUse(const QString& path);

private:
    sqlite3_stmt* cachedStatement(const QString& sql);
    long runCached(const QString& sql, const QVector<core::Variant>& parameters);
    void exec(const QString& sql);
    int schemaVersion();
    void dropStaleTables();
    void replaceTable(const QString& table, const QString& definition, const QStringList& columns);
    TableMeta cachedTableMeta(const QString& table);
    TableMeta sharedTableMeta(const QString& key, const QString& table);
    TableMeta readTableMeta(const QString& table);
    void ensureOpen() const;
    // Closes the connection; `keepHandle`: the engine's handle may serve the next connection on the file.
    void release(bool keepHandle);

    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_filePath; // canonical, for what connections on the same file share
    QHash<QString, sqlite3_stmt*> m_statements;
    QHash<QString, TableMeta> m_tables; // by lower-case name
    int m_tablesVersion = -1;
    bool m_damaged = false; // the quick check failed: the handle is not kept
};

} // namespace db::sqlite
