#pragma once

#include <QString>

// Looks at and tampers with a database file from outside the program, as a
// test needs: straight through SQLite, bypassing the program's data layer.

// Every row of every table, as text: two equal snapshots mean nothing was stored.
QString databaseSnapshot(const QString& path);

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
