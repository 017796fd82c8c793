#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"

#include <QString>

namespace db {

// The first column of the first row `sql` reads from `source` (a connection
// string or an open connection); Null when it reads no row.
template <class Source>
core::Variant firstValue(const Source& source, const QString& sql)
{
    Recordset rs;
    rs.open(sql, source, CursorType::ForwardOnly, LockType::ReadOnly, CommandType::Text);
    const core::Variant v = rs.eof() ? core::Variant::null() : rs.value(0);
    rs.close();
    return v;
}

} // namespace db
