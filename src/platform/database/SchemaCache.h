#pragma once

#include "platform/database/Backend.h"
#include "platform/database/jet/JetSql.h"

#include <QHash>
#include <optional>

namespace db {


// What the translator asks about the stored tables, answered from the engine's
// table descriptions (which the engine refreshes whenever the schema changes).
class SchemaCache : public jet::SchemaLookup {
public:
    explicit SchemaCache(Backend& backend) : m_backend(backend) {}

    std::optional<DataType> columnType(const QString& table, const QString& column) const override;
    QStringList columns(const QString& table) const override;

    // While one exists, each table is asked of the engine once: a statement
    // asks about its columns one by one, and the schema does not change under
    // one translation.
    class Translation {
    public:
        explicit Translation(const SchemaCache& cache) : m_cache(cache) { m_cache.m_tables.emplace(); }
        ~Translation() { m_cache.m_tables.reset(); }
        Translation(const Translation&) = delete;
        Translation& operator=(const Translation&) = delete;

    private:
        const SchemaCache& m_cache;
    };

private:
    // Empty optional: no such table.
    std::optional<TableMeta> table(const QString& name) const;

    Backend& m_backend;
    mutable std::optional<QHash<QString, std::optional<TableMeta>>> m_tables; // by name as asked, during a translation
};

} // namespace db
