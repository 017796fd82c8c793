#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// What an administrator does to a database file with the standard tools, done
// by Python's sqlite3 module with nothing of the program registered: the
// integrity check, an ORDER BY on every text column, one row written into every
// table, and a case variant of a value refused by every unique index on a text
// column. Returns an empty text when all of it worked, else what failed.
inline QString standardSqliteCheck(const QString& path)
{
    static const char* const script = R"PY(
import sqlite3, sys

def q(name):
    return '"' + name.replace('"', '""') + '"'

con = sqlite3.connect(sys.argv[1])
result = con.execute("PRAGMA integrity_check").fetchall()
if result != [("ok",)]:
    sys.exit("integrity_check: %r" % (result,))
tables = [r[0] for r in con.execute(
    "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%' ORDER BY rowid")]
if not tables:
    sys.exit("no tables")

def row(columns, text, number):
    names, values = [], []
    for cid, name, declared, notnull, default, pk in columns:
        d = (declared or "").upper()
        if d == "INTEGER" and pk:
            continue  # the counter numbers the row itself
        names.append(name)
        if "CHAR" in d or "TEXT" in d:
            values.append(text(name))
        elif "BLOB" in d or "BINARY" in d:
            values.append(b"\x01")
        else:
            values.append(number)
    return names, values

def insert(table, names, values):
    con.execute("INSERT INTO %s (%s) VALUES (%s)" % (q(table), ",".join(map(q, names)), ",".join("?" * len(names))),
                values)

for t in tables:
    columns = con.execute("PRAGMA table_info(%s)" % q(t)).fetchall()
    for c in columns:
        d = (c[2] or "").upper()
        if "CHAR" in d or "TEXT" in d:
            con.execute("SELECT %s FROM %s ORDER BY %s" % (q(c[1]), q(t), q(c[1]))).fetchall()
    names, values = row(columns, lambda name: "z", 987654)
    insert(t, names, values)
    for index in con.execute("PRAGMA index_list(%s)" % q(t)).fetchall():
        if not index[2]:
            continue
        indexed = [r[2] for r in con.execute("PRAGMA index_info(%s)" % q(index[1])).fetchall()]
        kinds = {c[1]: (c[2] or "").upper() for c in columns}
        if len(indexed) != 1 or not any(k in kinds.get(indexed[0], "") for k in ("CHAR", "TEXT")):
            continue
        names, values = row(columns, lambda name: "Z" if name == indexed[0] else "y", 987655)
        try:
            insert(t, names, values)
        except sqlite3.IntegrityError:
            continue
        sys.exit("%s: the unique index %s took 'Z' beside 'z'" % (t, index[1]))
con.commit()
result = con.execute("PRAGMA integrity_check").fetchall()
if result != [("ok",)]:
    sys.exit("integrity_check after the writes: %r" % (result,))
print("ok", len(tables))
)PY";
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!python.waitForFinished(60000))
        return QStringLiteral("python3 did not run: ") + python.errorString();
    const QString out = QString::fromUtf8(python.readAllStandardOutput()).trimmed();
    const QString err = QString::fromUtf8(python.readAllStandardError()).trimmed();
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0 || !out.startsWith(QLatin1String("ok")))
        return err.isEmpty() ? out : err;
    return {};
}
