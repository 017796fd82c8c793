#pragma once

#include "platform/database/Backend.h"
#include "platform/database/SchemaCache.h"
#include "platform/database/Types.h"
#include "platform/database/jet/JetSql.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace db {

// The state behind a Connection handle, shared with the recordsets opened on it.
class ConnectionImpl {
public:
    ConnectionImpl();

    void open(const QString& connectionString);
    void close();
    bool isOpen() const { return m_backend->isOpen(); }

    // The engine, or ObjectClosed when the connection is not open.
    Backend& backend();

    // Jet SQL in, the engine's statement out.
    jet::Translation translate(const QString& jetSql);
    long execute(const QString& jetSql);

    void beginTrans();
    void beginReadTrans();
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const { return m_inTransaction; }
    // What a write inside the open transaction changed in memory (rows marked
    // written, counters read back) is undone when the transaction rolls back.
    void onRollback(std::function<void()> undo);

    QString connectionString() const { return m_connectionString; }
    QString databasePath() const { return m_path; }
    CursorLocation cursorLocation = CursorLocation::Client;

    // "Data Source" of a connection string; empty when missing.
    static QString dataSource(const QString& connectionString);

    static int busyTimeoutMs;

private:
    std::unique_ptr<Backend> m_backend;
    SchemaCache m_schema;
    QString m_connectionString;
    QString m_path;
    bool m_inTransaction = false;
    std::vector<std::function<void()>> m_undo;
    void undoInMemory();
};

} // namespace db
