#include "platform/report/PagePainter.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPen>
#include <QSet>
#include <QTextLayout>
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

static size_t qHash(const FontSpec& f, size_t seed = 0)
{
    return qHashMulti(seed, f.name, f.size, f.bold, f.italic, f.underline, f.strikethrough);
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

// Shaping a text is most of the cost of drawing it, and a report draws the
// same dates, amounts and names over and over. A text met a second time with
// the same font, flags and box is laid out once, as QPainter::drawText(rect)
// lays it out, and its glyphs are drawn from then on.
struct TextKey {
    FontSpec font;
    QString text;
    int flags;
    double width, height, scaleX, scaleY;
    int transformType;
    bool operator==(const TextKey&) const = default;
};

size_t qHash(const TextKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.font, k.text, k.flags, k.width, k.height, k.scaleX, k.scaleY, k.transformType);
}

struct LaidText {
    QList<QGlyphRun> runs; // positions from the box's top-left corner
    bool clip = false;     // the text overflows its box
};

// Characters drawText rewrites or treats apart; such texts keep its own path.
bool plainText(const QString& text)
{
    for (const QChar c : text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t') || c == QChar(ushort(0x9c)))
            return false;
    return true;
}

LaidText layOut(const QFont& font, const QString& text, int flags, const QSizeF& box, const QTransform& transform,
                Qt::LayoutDirection direction)
{
    const bool wrap = flags & Qt::TextWordWrap;
    QFontMetricsF metrics(font);
    QTextLayout layout(text, font);
    QTextOption option = layout.textOption();
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    const qreal lineWidth = wrap ? std::max<qreal>(0, box.width()) : qreal(0x01000000);
    layout.beginLayout();
    const qreal leading = metrics.leading();
    qreal height = -leading;
    qreal width = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(lineWidth);
        height += leading;
        line.setPosition(QPointF(0, height));
        height += line.height();
        width = std::max(width, line.naturalTextWidth());
        if (height >= box.height())
            break;
    }
    layout.endLayout();

    const bool scaleOnly = transform.type() <= QTransform::TxScale;
    qreal yoff = 0;
    if (flags & Qt::AlignBottom) {
        yoff = box.height() - height;
    } else if (flags & Qt::AlignVCenter) {
        yoff = (box.height() - height) / 2;
        if (scaleOnly && transform.m22() != 0)
            yoff = -qRound(-yoff * transform.m22()) / transform.m22();
    }
    qreal xoff = 0;
    if (flags & Qt::AlignRight) {
        xoff = box.width() - width;
    } else if (flags & Qt::AlignHCenter) {
        xoff = (box.width() - width) / 2;
        if (scaleOnly && transform.m11() != 0)
            xoff = qRound(xoff * transform.m11()) / transform.m11();
    }
    LaidText laid;
    laid.clip = !QRectF(QPointF(0, 0), box).contains(QRectF(xoff, yoff, width, height));
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const qreal advance = line.horizontalAdvance();
        qreal x = 0;
        if (flags & Qt::AlignRight)
            x = box.width() - advance;
        else if (flags & Qt::AlignHCenter)
            x = (box.width() - advance) / 2;
        for (QGlyphRun run : line.glyphRuns()) {
            QList<QPointF> positions = run.positions();
            for (QPointF& p : positions)
                p += QPointF(x, yoff);
            run.setPositions(positions);
            laid.runs.append(run);
        }
    }
    return laid;
}

} // namespace

struct PaintCache::Data {
    QHash<FontSpec, QFont> fonts;
    QHash<TextKey, LaidText> laid;
    QSet<TextKey> seen;

    const QFont& font(const FontSpec& spec)
    {
        auto it = fonts.constFind(spec);
        if (it == fonts.constEnd())
            it = fonts.insert(spec, twipsFont(spec));
        return *it;
    }
};

PaintCache::PaintCache() : m_data(std::make_unique<Data>()) {}
PaintCache::~PaintCache() = default;

namespace {

void drawItemText(QPainter& painter, const PageItem& item, int flags, PaintCache::Data& cache)
{
    const FontSpec& spec = item.font;
    if (spec.underline || spec.strikethrough || !plainText(item.text) || painter.layoutDirection() == Qt::RightToLeft
        || item.text.isRightToLeft()) {
        painter.drawText(item.rect, flags, item.text);
        return;
    }
    const QTransform& transform = painter.transform();
    TextKey key{spec, item.text, flags, item.rect.width(), item.rect.height(), transform.m11(), transform.m22(),
                int(transform.type())};
    auto it = cache.laid.constFind(key);
    if (it == cache.laid.constEnd()) {
        // A text seen once (a document number) is drawn as it is: laying it
        // out for the cache would cost more than it saves.
        if (!cache.seen.contains(key)) {
            cache.seen.insert(key);
            painter.drawText(item.rect, flags, item.text);
            return;
        }
        it = cache.laid.insert(key, layOut(painter.font(), item.text, flags, item.rect.size(), transform,
                                             painter.layoutDirection()));
    }
    if (it->clip) {
        painter.save();
        painter.setClipRect(item.rect, Qt::IntersectClip);
    }
    for (const QGlyphRun& run : it->runs)
        painter.drawGlyphRun(item.rect.topLeft(), run);
    if (it->clip)
        painter.restore();
}

} // namespace

void paintPage(QPainter& painter, const ReportPage& page, PaintCache* cache)
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
            painter.setFont(cache ? cache->data().font(item.font) : twipsFont(item.font));
            painter.setPen(item.foreColor.isValid() ? item.foreColor : QColor(Qt::black));
            if (cache)
                drawItemText(painter, item, textFlags(item), cache->data());
            else
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
