#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Backend.h"

#include <QByteArray>
#include <QString>

namespace db {

// The value as the column stores it (a Long column keeps a Long, a date column
// a date...). Refuses a text longer than the column with TooLong, and a value
// that does not convert or a text holding U+0000 with Constraint, before
// anything is stored.
core::Variant coerceToColumn(const core::Variant& value, const ColumnMeta& column);

// A value reduced to what sorting compares, worked out once per row: Null and
// Empty first, then numbers and dates by value, then text without regard to
// case, then bytes.
struct SortValue {
    enum Kind { Null = 0, Number = 1, Text = 2, Bytes = 3 };
    Kind kind = Null;
    double number = 0.0;
    QString text;
    QByteArray bytes;
};
SortValue sortValueOf(const core::Variant& value);
int compareSortValues(const SortValue& a, const SortValue& b);

} // namespace db
