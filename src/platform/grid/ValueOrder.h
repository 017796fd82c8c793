#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Types.h"

#include <QString>

namespace grid {

// A cell value reduced to what ordering needs: Null first, then numbers and
// dates by value, then text without regard to case, then bytes.
struct SortKey {
    int rank = 0;
    double number = 0.0;
    QString text;
};

SortKey sortKeyOf(const core::Variant& value);
int compareSortKeys(const SortKey& a, const SortKey& b);
int compareValues(const core::Variant& a, const core::Variant& b);

// Whether a cell satisfies a find or format condition. `cellText` is what the
// user reads in the cell: BeginsWith and Contains match it, ignoring case.
bool conditionHolds(int condition, const core::Variant& cell, const QString& cellText, const core::Variant& operand);

// The text an editor starts from (no thousands separators, decimal comma) and
// the value read back from what the user typed for a column of `type`. Text
// that does not read as the column's type stays text, so a row check can refuse it.
QString editTextOf(const core::Variant& value);
core::Variant valueFromEditText(const QString& text, db::DataType type);

} // namespace grid
