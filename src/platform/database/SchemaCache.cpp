#include "platform/database/SchemaCache.h"

#include "platform/database/Backend.h"

namespace db {

std::optional<DataType> SchemaCache::columnType(const QString& table, const QString& column) const
{
    try {
        const TableMeta meta = m_backend.tableMeta(table);
        for (const auto& stored : meta.columns) {
            if (stored.name.compare(column, Qt::CaseInsensitive) == 0)
                return stored.type;
        }
    } catch (const DbError& error) {
        if (error.kind() != ErrorKind::NoSuchObject)
            throw;
    }
    return std::nullopt;
}

QStringList SchemaCache::columns(const QString& table) const
{
    QStringList names;
    try {
        for (const auto& stored : m_backend.tableMeta(table).columns)
            names << stored.name;
    } catch (const DbError& error) {
        if (error.kind() != ErrorKind::NoSuchObject)
            throw;
    }
    return names;
}

} // namespace db
