#pragma once

#include "platform/core/Variant.h"
#include "platform/report/ReportTypes.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <vector>

namespace report {

// One thing drawn on a page, in twips from the page's top-left corner. The
// paginator makes them; the preview, the printer and every export draw them.
struct PageItem {
    enum class Type { Text, Line, Rectangle, Ellipse, RoundRectangle, Image };
    Type type = Type::Text;
    QRectF rect;
    QLineF line;
    QString text;
    // The value behind a text (a number stays a number in a spreadsheet).
    core::Variant value;
    QString outputFormat;
    FontSpec font;
    QColor foreColor;
    QColor backColor;
    bool opaque = false;
    QColor lineColor;
    double lineWeight = 1; // points
    HorizontalAlignment alignment = HorizontalAlignment::Left;
    VerticalAlignment verticalAlignment = VerticalAlignment::Top;
    bool wordWrap = true;
    QImage image;
    PictureSizeMode sizeMode = PictureSizeMode::Zoom;
    QString controlName;
    QString sectionName;
    SectionKind sectionKind = SectionKind::Detail;
};

struct ReportPage {
    double width = 0;  // twips
    double height = 0; // twips
    std::vector<PageItem> items;
};

// The paginated output of a run: the one source of the preview, the printer
// and the exports.
struct ReportPages {
    QString title; // the print document name
    std::vector<ReportPage> pages;
    // The data rows the run delivered (0: the report had no data, only its fixed bands).
    int rowCount = 0;
    int count() const { return static_cast<int>(pages.size()); }
    const ReportPage& page(int index) const { return pages.at(index); }
    bool isEmpty() const { return pages.empty(); }
};

} // namespace report
