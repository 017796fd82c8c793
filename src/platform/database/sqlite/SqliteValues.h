#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Types.h"

struct sqlite3_stmt;

namespace db::sqlite {

// Reads result column `index` as the Jet type `type` says (Variant: as stored).
core::Variant readColumn(sqlite3_stmt* statement, int index, DataType type);

// Binds a value as stored by the conventions: Booleans -1/0, Currency and
// dates as REAL, text, bytes as BLOB, Empty and Null as NULL. A text holding
// U+0000 is refused (DbError Constraint), never cut.
int bindValue(sqlite3_stmt* statement, int index, const core::Variant& value);

} // namespace db::sqlite
