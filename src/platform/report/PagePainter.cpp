#include "platform/report/PagePainter.h"

#include <QPainter>
#include <QPen>
#include <cmath>

namespace report {

QFont twipsFont(const FontSpec& spec)
{
    QFont font(spec.name);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(spec.size * 20.0))));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikethrough);
    // Layout in twips must not depend on the screen's hinting.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {

QPen linePen(const PageItem& item)
{
    QPen pen(item.lineColor.isValid() ? item.lineColor : QColor(Qt::black));
    pen.setWidthF(std::max(0.0, item.lineWeight) * 20.0);
    return pen;
}

int textFlags(const PageItem& item)
{
    int flags = 0;
    switch (item.alignment) {
    case HorizontalAlignment::Left: flags |= Qt::AlignLeft; break;
    case HorizontalAlignment::Right: flags |= Qt::AlignRight; break;
    case HorizontalAlignment::Center: flags |= Qt::AlignHCenter; break;
    }
    switch (item.verticalAlignment) {
    case VerticalAlignment::Top: flags |= Qt::AlignTop; break;
    case VerticalAlignment::Middle: flags |= Qt::AlignVCenter; break;
    case VerticalAlignment::Bottom: flags |= Qt::AlignBottom; break;
    }
    if (item.wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

} // namespace

void paintPage(QPainter& painter, const ReportPage& page)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const auto& item : page.items) {
        switch (item.type) {
        case PageItem::Type::Text: {
            if (item.opaque)
                painter.fillRect(item.rect, item.backColor);
            if (item.text.isEmpty())
                break;
            painter.setFont(twipsFont(item.font));
            painter.setPen(item.foreColor.isValid() ? item.foreColor : QColor(Qt::black));
            painter.drawText(item.rect, textFlags(item), item.text);
            break;
        }
        case PageItem::Type::Line:
            if (item.lineWeight <= 0)
                break;
            painter.setPen(linePen(item));
            painter.drawLine(item.line);
            break;
        case PageItem::Type::Rectangle:
        case PageItem::Type::Ellipse:
        case PageItem::Type::RoundRectangle: {
            painter.setPen(item.lineWeight > 0 ? linePen(item) : QPen(Qt::NoPen));
            painter.setBrush(item.opaque ? QBrush(item.backColor) : QBrush(Qt::NoBrush));
            if (item.type == PageItem::Type::Rectangle)
                painter.drawRect(item.rect);
            else if (item.type == PageItem::Type::Ellipse)
                painter.drawEllipse(item.rect);
            else
                painter.drawRoundedRect(item.rect, 15, 15, Qt::RelativeSize);
            painter.setBrush(Qt::NoBrush);
            break;
        }
        case PageItem::Type::Image: {
            if (item.image.isNull())
                break;
            QRectF target = item.rect;
            QRectF source(QPointF(0, 0), QSizeF(item.image.size()));
            if (item.sizeMode == PictureSizeMode::Zoom) {
                QSizeF fitted = source.size();
                fitted.scale(target.size(), Qt::KeepAspectRatio);
                target = QRectF(target.topLeft(), fitted);
            } else if (item.sizeMode == PictureSizeMode::Clip) {
                // Natural size at 96 dots per inch, cut at the box.
                const double twipsPerPixel = 1440.0 / 96.0;
                const QSizeF natural(source.width() * twipsPerPixel, source.height() * twipsPerPixel);
                const QSizeF shown(std::min(natural.width(), target.width()), std::min(natural.height(), target.height()));
                source.setSize(QSizeF(shown.width() / twipsPerPixel, shown.height() / twipsPerPixel));
                target.setSize(shown);
            }
            painter.drawImage(target, item.image, source);
            break;
        }
        }
    }
    painter.restore();
}

} // namespace report
