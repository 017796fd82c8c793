#pragma once

#include "platform/database/jet/JetSql.h"

namespace db {

class Backend;

// What the translator asks about the stored tables, answered from the engine's
// table descriptions (which the engine refreshes whenever the schema changes).
class SchemaCache : public jet::SchemaLookup {
public:
    explicit SchemaCache(Backend& backend) : m_backend(backend) {}

    std::optional<DataType> columnType(const QString& table, const QString& column) const override;
    QStringList columns(const QString& table) const override;

private:
    Backend& m_backend;
};

} // namespace db
