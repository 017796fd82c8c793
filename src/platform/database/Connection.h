#pragma once

#include "platform/database/Types.h"

#include <QString>
#include <memory>

namespace db {

class Catalog;
class ConnectionImpl;

// A connection to one database file. A handle: copies refer to the same
// connection, so every window that holds one shares its transaction.
//
// Connection strings name the file with "Data Source=<path>;"; other keys
// (Provider, Persist Security Info) are accepted and ignored. Opening never
// creates a file: a missing file is FileNotFound, a file that is not a database
// (checked by a real query) is NotADatabase, a file held by another machine
// past the busy timeout is Busy. Damage the engine meets later, in any call, is
// NotADatabase too, its message naming the file and saying it is damaged.
//
// Several machines may share the file on a network folder: the engine keeps a
// rollback journal (never WAL), waits on a busy file, and every recordset is
// fetched client-side so no read lock lingers.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&);
    Connection& operator=(const Connection&);

    void setCursorLocation(CursorLocation location);
    CursorLocation cursorLocation() const;

    void open(const QString& connectionString, const QString& user = {}, const QString& password = {});
    void close();
    // For error paths: rolls back an open transaction and closes, never throwing,
    // so the error being handled is the one the user is told about.
    void abandon() noexcept;
    bool isOpen() const;
    QString connectionString() const;
    // The file the connection string names.
    QString databasePath() const;

    // Runs one statement in the Jet dialect; returns the rows affected.
    long execute(const QString& sql);

    // A transaction takes the database's write lock at once, so what it reads
    // cannot change under it (an exclusive writer); commit writes everything or
    // nothing. Transactions do not nest: the program never needs them to.
    void beginTrans();
    // A transaction to read several statements as one snapshot: nothing another
    // connection commits meanwhile is seen (writers wait for its end). It writes
    // nothing; end it with commitTrans or rollbackTrans.
    void beginReadTrans();
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const;

    // Table and column metadata (the catalog the system reads through its own connection).
    Catalog catalog() const;

    // Brings a file written by an earlier release of this layer to the current
    // storage conventions, so that standard SQLite tools can read and write it:
    // text columns that declared the layer's own collation are declared with
    // SQLite's NOCASE (StorageTypes.h). Reads only when nothing is to change;
    // otherwise rebuilds the tables concerned in one transaction (inside the
    // caller's, when one is open), keeping rows, indexes and counters. Returns the
    // tables rebuilt: 0 on a current file, so every start may call it.
    int upgradeStorage();

    // SQLite's quick check of the whole file (every page of every table and
    // index, short of matching indexes with their rows): "ok", or the first
    // problem the engine names. A file too damaged to be checked throws
    // NotADatabase naming the file. Takes a read lock only.
    QString quickCheck();

    // Creates an empty database file; fails when the file exists.
    static void createDatabase(const QString& path);
    // "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>;Persist Security Info=False"
    static QString connectionStringFor(const QString& path);

    // How long an open or a write waits for a file another machine holds locked
    // before it fails with Busy (5 seconds unless set); applies to connections opened afterwards.
    static void setBusyTimeout(int milliseconds);
    static int busyTimeout();
    // The same for this open connection only, from now on.
    void setBusyWait(int milliseconds);

    // True when another connection (of any program or machine) holds a lock on
    // the file right now, reading or writing: a file nobody is using can be
    // renamed or replaced safely. Tells by taking the exclusive lock for an
    // instant, without waiting; a file that cannot be opened is not in use.
    static bool isInUse(const QString& path);

    bool operator==(const Connection& other) const { return m_impl == other.m_impl; }
    bool isNull() const { return !m_impl; }

    // For the layer's own use. fromImpl(nullptr) is the null connection (a recordset's
    // active connection once disconnected).
    std::shared_ptr<ConnectionImpl> impl() const { return m_impl; }
    static Connection fromImpl(std::shared_ptr<ConnectionImpl> impl);

private:
    std::shared_ptr<ConnectionImpl> m_impl;
};

} // namespace db
