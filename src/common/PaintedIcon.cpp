#include "common/PaintedIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace painted {

QIcon icon(int size, const Drawing& drawing)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawing(p);
    p.end();
    return QIcon(pm);
}

void foldedSheet(QPainter& p, const QRectF& outline, qreal fold, const QPen& border, const QBrush& paper)
{
    const qreal corner = outline.right() - fold;
    QPainterPath path;
    path.moveTo(outline.left(), outline.top());
    path.lineTo(corner, outline.top());
    path.lineTo(outline.right(), outline.top() + fold);
    path.lineTo(outline.right(), outline.bottom());
    path.lineTo(outline.left(), outline.bottom());
    path.closeSubpath();
    p.setPen(border);
    p.setBrush(paper);
    p.drawPath(path);
    p.drawLine(QPointF(corner, outline.top()), QPointF(corner, outline.top() + fold));
    p.drawLine(QPointF(corner, outline.top() + fold), QPointF(outline.right(), outline.top() + fold));
}

} // namespace painted
