#pragma once

#include "platform/core/Variant.h"
#include "platform/report/ReportPage.h"

#include <QImage>
#include <QString>
#include <vector>

namespace report {

struct ReportControl;

// Appends the page items that draw one control, in twips from its band's
// top-left corner: what the paginator puts on a page and what the designer
// shows on its surface, so both draw a control the same way. text (and
// value) is what a text control shows; a picture without its own image shows
// reportPicture, and nothing when both are empty. With grow, a control that
// can grow takes the height its text needs. Returns the index of the
// control's text item in items, or -1 for a control without text.
int appendControlItems(std::vector<PageItem>& items, const ReportControl& control, const QString& sectionName,
                       const QString& text, const core::Variant& value, const QImage& reportPicture, bool grow);

} // namespace report
