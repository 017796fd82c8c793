#pragma once

#include <QString>

struct sqlite3;

// Looks at and tampers with a database file from outside the program, as a
// test needs: straight through SQLite, bypassing the program's data layer.

// Every row of every table, as text: two equal snapshots mean nothing was stored.
QString databaseSnapshot(const QString& path);

// Another machine's connection on the file, holding the lock `lockingSql`
// takes ("BEGIN EXCLUSIVE": not even a read gets through; "BEGIN IMMEDIATE":
// a save in progress; "BEGIN; SELECT ..." a reader) until released.
class OtherMachineLock {
public:
    OtherMachineLock(const QString& path, const char* lockingSql);
    ~OtherMachineLock();
    OtherMachineLock(const OtherMachineLock&) = delete;
    OtherMachineLock& operator=(const OtherMachineLock&) = delete;
    bool held() const { return m_held; }
    void release();

private:
    sqlite3* m_db = nullptr;
    bool m_held = false;
};

// While it lives, the engine refuses every `action` ("INSERT", "UPDATE",
// "DELETE") on `table` of the file, as a full disk or a damaged page would.
class WriteRefusal {
public:
    WriteRefusal(const QString& path, const QString& action, const QString& table);
    ~WriteRefusal();
    WriteRefusal(const WriteRefusal&) = delete;
    WriteRefusal& operator=(const WriteRefusal&) = delete;

private:
    QString m_path;
    QString m_name;
};
