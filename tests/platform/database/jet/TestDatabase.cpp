#include "TestDatabase.h"

#include "platform/core/Error.h"
#include "platform/database/jet/SqliteExtensions.h"
#include "platform/database/jet/StorageTypes.h"

TestDatabase::TestDatabase()
{
    sqlite3_open(":memory:", &m_db);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr); // as the connection does
    db::jet::registerSqliteExtensions(m_db);
}

TestDatabase::~TestDatabase()
{
    sqlite3_close(m_db);
}

namespace {

struct ColumnInfo {
    QString name;
    QString declared;
    bool primaryKey;
};

std::vector<ColumnInfo> tableInfo(sqlite3* db, const QString& table)
{
    std::vector<ColumnInfo> out;
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)").toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
        return out;
    const QByteArray t = table.toUtf8();
    sqlite3_bind_text(st, 1, t.constData(), t.size(), SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW)
        out.push_back({QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                       QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                       sqlite3_column_int(st, 2) != 0});
    sqlite3_finalize(st);
    return out;
}

} // namespace

std::optional<db::DataType> TestDatabase::columnType(const QString& table, const QString& column) const
{
    for (const auto& c : tableInfo(m_db, table))
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return db::jet::storageTypeFromDeclared(c.declared, c.primaryKey).type;
    return std::nullopt;
}

QStringList TestDatabase::columns(const QString& table) const
{
    QStringList out;
    for (const auto& c : tableInfo(m_db, table))
        out << c.name;
    return out;
}

QString TestDatabase::prepareError(const QString& sqliteSql)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = sqliteSql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, sql.constData(), sql.size(), &st, nullptr);
    sqlite3_finalize(st);
    return rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(m_db));
}

db::jet::Translation TestDatabase::exec(const QString& jetSql)
{
    const auto t = db::jet::translate(jetSql, *this);
    char* error = nullptr;
    if (sqlite3_exec(m_db, t.sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error);
        sqlite3_free(error);
        throw core::Error(1, message + QStringLiteral(" [") + t.sql + QLatin1Char(']'));
    }
    return t;
}

std::vector<std::vector<core::Variant>> TestDatabase::query(const QString& jetSql)
{
    const auto t = db::jet::translate(jetSql, *this);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = t.sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), sql.size(), &st, nullptr) != SQLITE_OK)
        throw core::Error(1, QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" [") + t.sql + QLatin1Char(']'));
    std::vector<std::vector<core::Variant>> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<core::Variant> row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            std::optional<db::DataType> type;
            if (i < t.resultTypes.size())
                type = t.resultTypes.at(i);
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_NULL:
                row.push_back(core::Variant::null());
                continue;
            case SQLITE_TEXT:
                row.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i))));
                continue;
            default:
                break;
            }
            const double d = sqlite3_column_double(st, i);
            if (type == db::DataType::Currency)
                row.push_back(core::Currency::fromDouble(d));
            else if (type == db::DataType::Date)
                row.push_back(core::DateValue{d});
            else if (type == db::DataType::Boolean)
                row.push_back(d != 0);
            else if (sqlite3_column_type(st, i) == SQLITE_INTEGER)
                row.push_back(core::Variant::fromInt64(sqlite3_column_int64(st, i)));
            else
                row.push_back(d);
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    return rows;
}

core::Variant TestDatabase::scalar(const QString& jetSql)
{
    const auto rows = query(jetSql);
    if (rows.size() != 1 || rows.front().size() != 1)
        throw core::Error(1, QStringLiteral("not a single value: ") + jetSql);
    return rows.front().front();
}
