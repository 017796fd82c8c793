#include "platform/report/ControlItems.h"

#include "platform/report/PagePainter.h"
#include "platform/report/ReportControl.h"

#include <QFontMetricsF>
#include <algorithm>

namespace report {

int appendControlItems(std::vector<PageItem>& items, const ReportControl& c, const QString& sectionName,
                       const QString& text, const core::Variant& value, const QImage& reportPicture, bool grow)
{
    PageItem item;
    item.rect = QRectF(c.left, c.top, c.width, c.height);
    item.controlName = c.name;
    item.sectionName = sectionName;
    item.font = c.font;
    item.foreColor = c.foreColor;
    item.backColor = c.backColor;
    item.opaque = c.backStyle == BackStyle::Opaque;
    item.lineColor = c.lineColor;
    item.lineWeight = c.lineWeight;
    item.alignment = c.alignment;
    item.verticalAlignment = c.verticalAlignment;
    item.wordWrap = c.wordWrap;

    switch (c.kind) {
    case ControlKind::Label:
    case ControlKind::Field:
    case ControlKind::Checkbox: {
        item.type = PageItem::Type::Text;
        item.text = text;
        item.value = value;
        if (c.kind == ControlKind::Field)
            item.outputFormat = c.outputFormat;
        if (c.kind == ControlKind::Checkbox) {
            const double box = std::min(c.height, c.font.size * 20.0);
            PageItem square = item;
            square.type = PageItem::Type::Rectangle;
            square.rect = QRectF(c.left, c.top, box, box);
            square.opaque = false;
            items.push_back(square);
            if (c.checked) {
                PageItem cross = square;
                cross.type = PageItem::Type::Line;
                cross.line = QLineF(square.rect.topLeft(), square.rect.bottomRight());
                items.push_back(cross);
                cross.line = QLineF(square.rect.bottomLeft(), square.rect.topRight());
                items.push_back(cross);
            }
            item.rect.adjust(box + 60, 0, 0, 0);
        }
        if (grow && c.canGrow && !item.text.isEmpty()) {
            const QFontMetricsF metrics(twipsFont(c.font));
            const int flags = c.wordWrap ? Qt::TextWordWrap : 0;
            const double needed =
                metrics.boundingRect(QRectF(0, 0, std::max(1.0, item.rect.width()), 1e7), flags, item.text).height();
            if (needed > item.rect.height())
                item.rect.setHeight(needed);
        }
        items.push_back(std::move(item));
        return static_cast<int>(items.size()) - 1;
    }
    case ControlKind::Line:
        item.type = PageItem::Type::Line;
        item.line = QLineF(c.left, c.top, c.left + c.width, c.top + c.height);
        items.push_back(std::move(item));
        break;
    case ControlKind::Shape:
        item.type = c.shapeStyle == ShapeStyle::Ellipse          ? PageItem::Type::Ellipse
                    : c.shapeStyle == ShapeStyle::RoundRectangle ? PageItem::Type::RoundRectangle
                                                                 : PageItem::Type::Rectangle;
        items.push_back(std::move(item));
        break;
    case ControlKind::Picture:
        item.type = PageItem::Type::Image;
        item.image = c.picture.isNull() ? reportPicture : c.picture;
        item.sizeMode = c.sizeMode;
        if (!item.image.isNull())
            items.push_back(std::move(item));
        break;
    }
    return -1;
}

} // namespace report
