#include "mainwindow/MainWindowIcons.h"

#include "common/PaintedIcon.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace MainWindowIcons {

namespace {

constexpr int kSize = 32;

// A sheet of paper with a folded corner, the base of the document pictures.
void sheet(QPainter& p, const QColor& paper, const QColor& border)
{
    painted::foldedSheet(p, QRectF(7, 3, 19, 26), 6, QPen(border, 1.5), paper);
}

void lines(QPainter& p, const QColor& color, int from, int to)
{
    p.setPen(QPen(color, 1.5));
    for (int y = from; y <= to; y += 4)
        p.drawLine(QPointF(10, y), QPointF(23, y));
}

QIcon invoice()
{
    return painted::icon(kSize, [](QPainter& p) {
        sheet(p, QColor(255, 255, 255), QColor(40, 70, 130));
        lines(p, QColor(120, 140, 180), 13, 21);
        p.setPen(QPen(QColor(20, 120, 60), 2));
        p.setFont(QFont(QStringLiteral("Sans"), 8, QFont::Bold));
        p.drawText(QRectF(8, 21, 17, 8), Qt::AlignCenter, QStringLiteral("\u20AC"));
    });
}

QIcon proForma()
{
    return painted::icon(kSize, [](QPainter& p) {
        sheet(p, QColor(255, 250, 225), QColor(150, 110, 20));
        lines(p, QColor(200, 170, 100), 13, 25);
        p.setPen(QPen(QColor(190, 60, 30), 2));
        p.setFont(QFont(QStringLiteral("Sans"), 9, QFont::Bold));
        p.drawText(QRectF(1, 1, 14, 12), Qt::AlignCenter, QStringLiteral("P"));
    });
}

QIcon client()
{
    return painted::icon(kSize, [](QPainter& p) {
        p.setPen(QPen(QColor(30, 70, 120), 1.5));
        p.setBrush(QColor(110, 160, 215));
        p.drawEllipse(QRectF(11, 4, 10, 10));
        QPainterPath body;
        body.moveTo(5, 29);
        body.cubicTo(5, 17, 27, 17, 27, 29);
        body.closeSubpath();
        p.drawPath(body);
    });
}

QIcon table()
{
    return painted::icon(kSize, [](QPainter& p) {
        const QRectF frame(4, 6, 24, 20);
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(frame);
        p.fillRect(QRectF(4.75, 6.75, 22.5, 5), QColor(150, 180, 210));
        p.drawLine(QPointF(4, 12), QPointF(28, 12));
        p.drawLine(QPointF(4, 17), QPointF(28, 17));
        p.drawLine(QPointF(4, 22), QPointF(28, 22));
        p.drawLine(QPointF(13, 6), QPointF(13, 26));
    });
}

QIcon newRecord()
{
    return painted::icon(kSize, [](QPainter& p) {
        sheet(p, QColor(255, 255, 255), QColor(70, 70, 70));
        p.setPen(QPen(QColor(20, 140, 40), 3));
        p.drawLine(QPointF(16.5, 14), QPointF(16.5, 25));
        p.drawLine(QPointF(11, 19.5), QPointF(22, 19.5));
    });
}

QIcon openRecord()
{
    return painted::icon(kSize, [](QPainter& p) {
        p.setPen(QPen(QColor(140, 100, 20), 1.5));
        p.setBrush(QColor(240, 200, 90));
        QPainterPath back;
        back.moveTo(3, 8);
        back.lineTo(12, 8);
        back.lineTo(14, 11);
        back.lineTo(27, 11);
        back.lineTo(27, 27);
        back.lineTo(3, 27);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(250, 220, 120));
        QPainterPath front;
        front.moveTo(3, 27);
        front.lineTo(8, 15);
        front.lineTo(30, 15);
        front.lineTo(27, 27);
        front.closeSubpath();
        p.drawPath(front);
    });
}

QIcon deleteRecord()
{
    return painted::icon(kSize, [](QPainter& p) {
        p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
    });
}

QIcon printer()
{
    return painted::icon(kSize, [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRectF(9, 3, 14, 9));
        p.setBrush(QColor(150, 150, 160));
        p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRectF(9, 19, 14, 10));
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.drawLine(QPointF(11, 23), QPointF(21, 23));
        p.drawLine(QPointF(11, 26), QPointF(21, 26));
    });
}

} // namespace

QIcon vista(int iconIndex)
{
    switch (iconIndex) {
    case 1: return invoice();
    case 2: return proForma();
    case 3: return client();
    default: return table();
    }
}

QIcon comando(Comando which)
{
    switch (which) {
    case Comando::Nuovo: return newRecord();
    case Comando::Apri: return openRecord();
    case Comando::Elimina: return deleteRecord();
    case Comando::Stampa: return printer();
    }
    return {};
}

} // namespace MainWindowIcons
