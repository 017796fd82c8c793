#include "layouts/DesignerIcons.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace DesignerIcons {

namespace {

constexpr int kSize = 24;
const QColor kInk(40, 50, 70);
const QColor kBlue(40, 90, 170);
const QColor kPaper(255, 255, 255);
const QColor kGuide(200, 60, 40);

using Drawing = std::function<void(QPainter&)>;

QIcon draw(const Drawing& drawing)
{
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawing(p);
    p.end();
    return QIcon(pm);
}

void letter(QPainter& p, const QString& text, bool bold, bool italic, bool underline, const QRectF& box = QRectF(2, 1, 20, 20))
{
    QFont f(QStringLiteral("Serif"));
    f.setPixelSize(17);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(box, Qt::AlignCenter, text);
}

void page(QPainter& p)
{
    QPainterPath path;
    path.moveTo(5, 2);
    path.lineTo(15, 2);
    path.lineTo(20, 7);
    path.lineTo(20, 22);
    path.lineTo(5, 22);
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(15, 2), QPointF(15, 7));
    p.drawLine(QPointF(15, 7), QPointF(20, 7));
}

// Text lines laid left, centred or right.
void textLines(QPainter& p, Qt::Alignment alignment)
{
    p.setPen(QPen(kInk, 2));
    const int widths[4] = {18, 12, 16, 10};
    for (int i = 0; i < 4; ++i) {
        const int y = 5 + i * 5;
        const int w = widths[i];
        const int x = alignment == Qt::AlignLeft ? 3 : alignment == Qt::AlignRight ? 21 - w : 12 - w / 2;
        p.drawLine(QPointF(x, y), QPointF(x + w, y));
    }
}

// A letter over a colour bar: fore colour, back colour and line colour.
void colourBar(QPainter& p, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(3, 18, 18, 4));
}

// Two boxes lined up on one edge, with the guide they share.
void aligned(QPainter& p, bool vertical, int edge)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(150, 180, 225));
    if (!vertical) {
        // Boxes one under the other, aligned on left (0), centre (1) or right (2).
        const QRectF a(0, 4, 14, 6), b(0, 14, 9, 6);
        const double x = edge == 0 ? 5 : edge == 1 ? 12 : 19;
        auto place = [&](QRectF r) {
            r.moveLeft(edge == 0 ? x : edge == 1 ? x - r.width() / 2 : x - r.width());
            p.drawRect(r);
        };
        place(a);
        place(b);
        p.setPen(QPen(kGuide, 1.2));
        p.drawLine(QPointF(x, 1), QPointF(x, 23));
    } else {
        // Boxes side by side, aligned on top (0), middle (1) or bottom (2).
        const QRectF a(4, 0, 6, 14), b(14, 0, 6, 9);
        const double y = edge == 0 ? 5 : edge == 1 ? 12 : 19;
        auto place = [&](QRectF r) {
            r.moveTop(edge == 0 ? y : edge == 1 ? y - r.height() / 2 : y - r.height());
            p.drawRect(r);
        };
        place(a);
        place(b);
        p.setPen(QPen(kGuide, 1.2));
        p.drawLine(QPointF(1, y), QPointF(23, y));
    }
}

// Two boxes made the same width, height or both.
void sameSize(QPainter& p, bool width, bool height)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(150, 180, 225));
    p.drawRect(QRectF(3, 3, 14, 7));
    p.drawRect(QRectF(3, 13, width ? 14 : 8, height ? 7 : 4));
    p.setPen(QPen(kGuide, 1.2));
    if (width)
        p.drawLine(QPointF(3, 22), QPointF(17, 22));
    if (height)
        p.drawLine(QPointF(20, 13), QPointF(20, 20));
}

void overlapped(QPainter& p, bool frontOnTop)
{
    const QRectF back(3, 3, 12, 12), front(9, 9, 12, 12);
    const QColor light(210, 215, 225), strong(70, 120, 200);
    p.setPen(QPen(kInk, 1));
    if (frontOnTop) {
        p.setBrush(light);
        p.drawRect(back);
        p.setBrush(strong);
        p.drawRect(front);
    } else {
        p.setBrush(light);
        p.drawRect(front);
        p.setBrush(strong);
        p.drawRect(back);
    }
}

const QHash<QString, Drawing>& drawings()
{
    static const QHash<QString, Drawing> table = {
        {QStringLiteral("tFNewReport"), [](QPainter& p) { page(p); }},
        {QStringLiteral("tFOpen"),
         [](QPainter& p) {
             p.setPen(QPen(QColor(130, 90, 20), 1.2));
             p.setBrush(QColor(240, 200, 90));
             p.drawRect(QRectF(2, 7, 20, 14));
             p.drawRect(QRectF(2, 4, 8, 3));
         }},
        {QStringLiteral("tFSave"),
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(kBlue);
             p.drawRoundedRect(QRectF(2, 2, 20, 20), 2, 2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(6, 2, 12, 7));
             p.setBrush(QColor(220, 225, 235));
             p.drawRect(QRectF(5, 13, 14, 9));
         }},
        {QStringLiteral("tFPrintSetup"),
         [](QPainter& p) {
             page(p);
             p.setPen(QPen(kGuide, 1, Qt::DashLine));
             p.drawRect(QRectF(8, 9, 9, 10));
         }},
        {QStringLiteral("tfoFont"), [](QPainter& p) { letter(p, QStringLiteral("A"), false, false, false); }},
        {QStringLiteral("tFoBold"), [](QPainter& p) { letter(p, QStringLiteral("G"), true, false, false); }},
        {QStringLiteral("tFoItalic"), [](QPainter& p) { letter(p, QStringLiteral("C"), false, true, false); }},
        {QStringLiteral("tFoUnderline"), [](QPainter& p) { letter(p, QStringLiteral("S"), false, false, true); }},
        {QStringLiteral("tFoFontDialog"),
         [](QPainter& p) {
             letter(p, QStringLiteral("A"), true, false, false, QRectF(0, 0, 15, 18));
             letter(p, QStringLiteral("a"), false, true, false, QRectF(10, 6, 14, 18));
         }},
        {QStringLiteral("tFoAlignLeft"), [](QPainter& p) { textLines(p, Qt::AlignLeft); }},
        {QStringLiteral("tFoAlignCenter"), [](QPainter& p) { textLines(p, Qt::AlignHCenter); }},
        {QStringLiteral("tFoAlignRight"), [](QPainter& p) { textLines(p, Qt::AlignRight); }},
        {QStringLiteral("tFoBackColor"),
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(QColor(250, 230, 120));
             p.drawRect(QRectF(4, 3, 16, 12));
             colourBar(p, QColor(240, 200, 40));
         }},
        {QStringLiteral("tFoForeColor"),
         [](QPainter& p) {
             letter(p, QStringLiteral("A"), true, false, false, QRectF(2, -1, 20, 18));
             colourBar(p, QColor(210, 30, 30));
         }},
        {QStringLiteral("tFoLineColor"),
         [](QPainter& p) {
             p.setPen(QPen(kInk, 2));
             p.drawLine(QPointF(4, 14), QPointF(20, 3));
             colourBar(p, kBlue);
         }},
        {QStringLiteral("tFoBringToFront"), [](QPainter& p) { overlapped(p, true); }},
        {QStringLiteral("tFoSendToBack"), [](QPainter& p) { overlapped(p, false); }},
        {QStringLiteral("tFoALefts"), [](QPainter& p) { aligned(p, false, 0); }},
        {QStringLiteral("tFoACenters"), [](QPainter& p) { aligned(p, false, 1); }},
        {QStringLiteral("tFoARights"), [](QPainter& p) { aligned(p, false, 2); }},
        {QStringLiteral("tFoATops"), [](QPainter& p) { aligned(p, true, 0); }},
        {QStringLiteral("tFoAMiddles"), [](QPainter& p) { aligned(p, true, 1); }},
        {QStringLiteral("tFoABottoms"), [](QPainter& p) { aligned(p, true, 2); }},
        {QStringLiteral("tFoAToGrid"),
         [](QPainter& p) {
             p.setPen(QColor(150, 160, 175));
             for (int x = 3; x <= 21; x += 4)
                 for (int y = 3; y <= 21; y += 4)
                     p.drawPoint(QPointF(x, y));
             p.setPen(QPen(kInk, 1));
             p.setBrush(QColor(150, 180, 225));
             p.drawRect(QRectF(7, 7, 8, 8));
         }},
        {QStringLiteral("tFoSWidths"), [](QPainter& p) { sameSize(p, true, false); }},
        {QStringLiteral("tFoSHeights"), [](QPainter& p) { sameSize(p, false, true); }},
        {QStringLiteral("tFoSBoth"), [](QPainter& p) { sameSize(p, true, true); }},
        {QStringLiteral("tFoLockControls"),
         [](QPainter& p) {
             p.setPen(QPen(kInk, 2));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(7, 3, 10, 12), 0, 180 * 16);
             p.setPen(QPen(kInk, 1.2));
             p.setBrush(QColor(230, 180, 50));
             p.drawRect(QRectF(5, 10, 14, 11));
         }},
        {QStringLiteral("tbxSelect"),
         [](QPainter& p) {
             QPainterPath arrow;
             arrow.moveTo(6, 2);
             arrow.lineTo(6, 20);
             arrow.lineTo(10, 16);
             arrow.lineTo(13, 22);
             arrow.lineTo(16, 21);
             arrow.lineTo(13, 15);
             arrow.lineTo(18, 15);
             arrow.closeSubpath();
             p.setPen(QPen(kInk, 1));
             p.setBrush(kPaper);
             p.drawPath(arrow);
         }},
        {QStringLiteral("tbxLabel"), [](QPainter& p) { letter(p, QStringLiteral("A"), true, false, false); }},
        {QStringLiteral("tbxField"),
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(kPaper);
             p.drawRect(QRectF(1, 6, 22, 12));
             QFont f(QStringLiteral("Sans"));
             f.setPixelSize(9);
             p.setFont(f);
             p.drawText(QRectF(2, 6, 17, 12), Qt::AlignCenter, QStringLiteral("ab"));
             p.drawLine(QPointF(19, 8), QPointF(19, 16));
         }},
        {QStringLiteral("tbxLine"),
         [](QPainter& p) {
             p.setPen(QPen(kInk, 2));
             p.drawLine(QPointF(3, 20), QPointF(21, 4));
         }},
        {QStringLiteral("tbxShape"),
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(3, 5, 18, 14));
         }},
        {QStringLiteral("tbxDateTime"),
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(kPaper);
             p.drawEllipse(QRectF(3, 3, 18, 18));
             p.drawLine(QPointF(12, 12), QPointF(12, 6));
             p.drawLine(QPointF(12, 12), QPointF(16, 14));
         }},
        {QStringLiteral("tbxPagenumber"),
         [](QPainter& p) {
             page(p);
             QFont f(QStringLiteral("Sans"));
             f.setPixelSize(10);
             f.setBold(true);
             p.setFont(f);
             p.setPen(kBlue);
             p.drawText(QRectF(5, 8, 15, 13), Qt::AlignCenter, QStringLiteral("#"));
         }},
    };
    return table;
}

} // namespace

QIcon icon(const QString& key)
{
    const auto it = drawings().constFind(key);
    return it == drawings().constEnd() ? QIcon() : draw(it.value());
}

} // namespace DesignerIcons
