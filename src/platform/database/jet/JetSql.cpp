#include "platform/database/jet/JetSql.h"

// Placeholder until the dialect translator lands: passes the text through.
namespace db::jet {

Translation translate(const QString& jetSql, const SchemaLookup&)
{
    Translation t;
    t.sql = jetSql;
    return t;
}

std::optional<core::DateValue> parseDateLiteral(const QString&)
{
    return std::nullopt;
}

} // namespace db::jet
