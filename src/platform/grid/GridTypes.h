#pragma once

#include <QColor>
#include <QString>

namespace grid {

// Sort orders as callers pass them: 1 ascending, -1 descending.
namespace SortOrder {
constexpr int Ascending = 1;
constexpr int Descending = -1;
} // namespace SortOrder

// Conditions of find() and of format conditions. Equal and BeginsWith are the
// two the system relies on (a row by its key, type-to-find).
namespace Condition {
constexpr int Equal = 0;
constexpr int NotEqual = 1;
constexpr int GreaterThan = 2;
constexpr int LessThan = 3;
constexpr int BeginsWith = 4;
constexpr int Contains = 5;
} // namespace Condition

// A named look for rows (the row-format event names one) or for format conditions.
// An invalid colour leaves the view's own colour.
struct RowStyle {
    bool bold = false;
    bool italic = false;
    QColor foreColor;
    QColor backColor;
};

// The twips the layouts and column widths are stored in: 1440 an inch, at the screen's logical resolution.
int twipsToPixels(int twips, int logicalDpi);
int pixelsToTwips(int pixels, int logicalDpi);

} // namespace grid
