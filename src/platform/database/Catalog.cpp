#include "platform/database/Catalog.h"

#include "platform/database/ConnectionImpl.h"

namespace db {

namespace {

TableInfo tableInfo(const TableMeta& meta)
{
    TableInfo info;
    info.name = meta.name;
    info.type = QStringLiteral("TABLE");
    for (const auto& column : meta.columns) {
        ColumnInfo c;
        c.name = column.name;
        c.type = column.type;
        c.definedSize = column.definedSize;
        c.autoIncrement = column.autoIncrement;
        c.nullable = column.nullable;
        c.allowZeroLength = true; // empty text is allowed in every text column
        info.columns << c;
    }
    for (const auto& name : meta.primaryKey)
        info.primaryKey << name;
    return info;
}

} // namespace

Catalog::Catalog(std::shared_ptr<ConnectionImpl> connection) : m_connection(std::move(connection)) {}

QVector<TableInfo> Catalog::tables() const
{
    Backend& backend = m_connection->backend();
    QVector<TableInfo> result;
    for (const QString& name : backend.tableNames())
        result << tableInfo(backend.tableMeta(name));
    return result;
}

TableInfo Catalog::table(const QString& name) const
{
    return tableInfo(m_connection->backend().tableMeta(name));
}

bool Catalog::hasTable(const QString& name) const
{
    for (const QString& stored : m_connection->backend().tableNames()) {
        if (stored.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList Catalog::indexNames(const QString& table) const
{
    return m_connection->backend().indexNames(table);
}

void Catalog::setAllowZeroLength(const QString& table, const QString& column, bool) const
{
    const TableMeta meta = m_connection->backend().tableMeta(table);
    for (const auto& stored : meta.columns) {
        if (stored.name.compare(column, Qt::CaseInsensitive) == 0)
            return;
    }
    throw DbError(ErrorKind::NoSuchObject, ErrorNumber::ItemNotFound,
                  QStringLiteral("Il campo '%1' non esiste nella tabella '%2'.").arg(column, meta.name));
}

} // namespace db
