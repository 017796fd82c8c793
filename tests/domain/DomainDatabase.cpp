#include "DomainDatabase.h"

#include "platform/core/Error.h"
#include "platform/database/Recordset.h"
#include "startup/Schema.h"
#include "startup/SchemaUpgrade.h"

#include <sqlite3.h>

void DomainDatabase::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("qelvo.mdb"));
    db::Connection::createDatabase(m_path);
    m_cn.setCursorLocation(db::CursorLocation::Client);
    m_cn.open(connectionString());
    for (const QString& sql : startup::templateSchemaStatements())
        m_cn.execute(sql);
    int n = 0;
    const char* const* upgrade = StatementiAggiornaDb(&n);
    for (int i = 0; i < n; ++i) {
        try {
            m_cn.execute(QString::fromUtf8(upgrade[i]));
        } catch (const core::Error&) {
            // As at every start: what exists already is refused and left.
        }
    }
}

void DomainDatabase::TearDown()
{
    if (m_cn.isOpen())
        m_cn.abandon();
}

void DomainDatabase::exec(const QString& sql) { m_cn.execute(sql); }

QVariant DomainDatabase::scalar(const QString& sql)
{
    db::Recordset rs;
    rs.open(sql, m_cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    QVariant result;
    if (!rs.eof()) {
        const core::Variant v = rs.value(0);
        if (v.isString())
            result = v.toString();
        else if (!v.isEmptyOrNull())
            result = v.toDouble();
    }
    rs.close();
    return result;
}

void DomainDatabase::sqlite(const QString& sql) const
{
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(m_path.toUtf8().constData(), &handle), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, &message);
    EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(handle);
}

void DomainDatabase::refuse(const QString& action, const QString& table)
{
    sqlite(QStringLiteral("CREATE TRIGGER refusal_%1 BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT, 'disco pieno'); END")
               .arg(++m_refusals)
               .arg(action, table));
}

void DomainDatabase::allowAgain()
{
    for (int i = 1; i <= m_refusals; ++i)
        sqlite(QStringLiteral("DROP TRIGGER IF EXISTS refusal_%1").arg(i));
}

QString DomainDatabase::snapshot() const
{
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(m_path.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
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
