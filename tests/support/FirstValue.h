#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"

#include <QString>

// The first column of the first row `sql` reads from `source` (a connection
// string or an open connection); Null when it reads no row.
template <class Source>
core::Variant firstValue(const QString& sql, const Source& source)
{
    db::Recordset rs;
    rs.open(sql, source, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    const core::Variant v = rs.eof() ? core::Variant::null() : rs.value(0);
    rs.close();
    return v;
}
