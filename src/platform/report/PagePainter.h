#pragma once

#include "platform/report/ReportPage.h"
#include "platform/report/ReportTypes.h"

#include <QFont>
#include <memory>

class QPainter;

namespace report {

// What one export or print job keeps between pages: its fonts and the texts
// it has laid out. A job that draws a whole report to a file or a printer
// makes one and hands it to every paintPage.
class PaintCache {
public:
    PaintCache();
    ~PaintCache();
    PaintCache(const PaintCache&) = delete;
    PaintCache& operator=(const PaintCache&) = delete;

    struct Data;
    Data& data() { return *m_data; }

private:
    std::unique_ptr<Data> m_data;
};

// The font of a control in twips space: the pixel size is the point size in
// twips, so one painter transform (device units per twip) scales text and
// shapes alike on every device.
QFont twipsFont(const FontSpec& font);

// Draws one page with the painter's coordinates in twips (the caller scales
// the painter by device units per twip). The one drawing routine of the
// preview, the printer and the PDF export. With a cache, a text drawn again
// is drawn from the glyphs laid out the first time (same output, no shaping).
void paintPage(QPainter& painter, const ReportPage& page, PaintCache* cache = nullptr);

} // namespace report
