#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Backend.h"

namespace db {

// The value as the column stores it (a Long column keeps a Long, a date column
// a date...). Refuses a text longer than the column with TooLong and a value
// that does not convert with Constraint, before anything is stored.
core::Variant coerceToColumn(const core::Variant& value, const ColumnMeta& column);

// Three-way comparison for sorting: Null and Empty first, numbers and dates by
// value, text without regard to case.
int compareForSort(const core::Variant& a, const core::Variant& b);

} // namespace db
