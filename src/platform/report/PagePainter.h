#pragma once

#include "platform/report/ReportPage.h"
#include "platform/report/ReportTypes.h"

#include <QFont>

class QPainter;

namespace report {

// The font of a control in twips space: the pixel size is the point size in
// twips, so one painter transform (device units per twip) scales text and
// shapes alike on every device.
QFont twipsFont(const FontSpec& font);
// The same font, kept for the next use of the same spec (one cache a thread).
const QFont& cachedTwipsFont(const FontSpec& font);

// Draws one page with the painter's coordinates in twips (the caller scales
// the painter by device units per twip). The one drawing routine of the
// preview, the printer and the PDF export.
void paintPage(QPainter& painter, const ReportPage& page);

} // namespace report
