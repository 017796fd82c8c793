#pragma once

#include <QBrush>
#include <QIcon>
#include <QPen>
#include <QRectF>
#include <functional>

class QPainter;

// The helpers the windows' pictures are drawn with, so the program carries no
// image files: each window keeps its own pictures and paints them with these.
namespace painted {

using Drawing = std::function<void(QPainter&)>;

// A square icon of `size` pixels: `drawing` paints, antialiased, on a
// transparent pixmap.
QIcon icon(int size, const Drawing& drawing);

// A sheet of paper in `outline` with its top right corner folded down by
// `fold` pixels, drawn with `border` and filled with `paper`.
void foldedSheet(QPainter& p, const QRectF& outline, qreal fold, const QPen& border, const QBrush& paper);

} // namespace painted
