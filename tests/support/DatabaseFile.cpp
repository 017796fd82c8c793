#include "support/DatabaseFile.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

void run(const QString& path, const QString& sql)
{
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &handle), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, &message);
    EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(handle);
}

} // namespace

OtherMachineLock::OtherMachineLock(const QString& path, const char* lockingSql)
{
    sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    m_held = sqlite3_exec(m_db, lockingSql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

OtherMachineLock::~OtherMachineLock() { release(); }

void OtherMachineLock::release()
{
    if (!m_db)
        return;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
    m_db = nullptr;
}

WriteRefusal::WriteRefusal(const QString& path, const QString& action, const QString& table)
    : m_path(path), m_name(QStringLiteral("refusal_%1_%2").arg(action.toLower(), table.toLower()))
{
    run(m_path, QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT, 'disco pieno'); END")
                    .arg(m_name, action, table));
}

WriteRefusal::~WriteRefusal() { run(m_path, QStringLiteral("DROP TRIGGER IF EXISTS ") + m_name); }

QString databaseSnapshot(const QString& path)
{
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return QStringLiteral("(unreadable)");
    QString out;
    QStringList tables;
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(handle, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name", -1, &list, nullptr);
    while (sqlite3_step(list) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    for (const QString& table : tables) {
        out += QStringLiteral("[") + table + QStringLiteral("]\n");
        sqlite3_stmt* rows = nullptr;
        const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table).toUtf8();
        if (sqlite3_prepare_v2(handle, sql.constData(), -1, &rows, nullptr) != SQLITE_OK)
            continue;
        while (sqlite3_step(rows) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(rows); ++c) {
                const unsigned char* text = sqlite3_column_text(rows, c);
                out += text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QStringLiteral("NULL");
                out += QLatin1Char('|');
            }
            out += QLatin1Char('\n');
        }
        sqlite3_finalize(rows);
    }
    sqlite3_close(handle);
    return out;
}
