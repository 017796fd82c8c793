#include "platform/database/SchemaCache.h"

#include "platform/database/Backend.h"

namespace db {

std::optional<TableMeta> SchemaCache::table(const QString& name) const
{
    if (m_tables) {
        auto it = m_tables->constFind(name);
        if (it != m_tables->constEnd())
            return *it;
    }
    std::optional<TableMeta> meta;
    try {
        meta = m_backend.tableMeta(name);
    } catch (const DbError& error) {
        if (error.kind() != ErrorKind::NoSuchObject)
            throw;
    }
    if (m_tables)
        m_tables->insert(name, meta);
    return meta;
}

std::optional<DataType> SchemaCache::columnType(const QString& table, const QString& column) const
{
    if (const std::optional<TableMeta> meta = this->table(table)) {
        for (const auto& stored : meta->columns) {
            if (stored.name.compare(column, Qt::CaseInsensitive) == 0)
                return stored.type;
        }
    }
    return std::nullopt;
}

QStringList SchemaCache::columns(const QString& table) const
{
    QStringList names;
    if (const std::optional<TableMeta> meta = this->table(table)) {
        for (const auto& stored : meta->columns)
            names << stored.name;
    }
    return names;
}

} // namespace db
