#pragma once

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

// The visible controls of a window whose text does not fit them as they stand:
// a line edit narrower than its text, a label or a button narrower than its
// caption. One line per control, named by its objectName (or its text).
inline QStringList cutControls(const QWidget* window)
{
    QStringList cut;
    auto name = [](const QWidget* w, const QString& text) {
        return (w->objectName().isEmpty() ? QStringLiteral("'%1'").arg(text) : w->objectName());
    };
    for (const QLineEdit* e : window->findChildren<QLineEdit*>()) {
        if (!e->isVisibleTo(window) || e->text().isEmpty())
            continue;
        // The room the box gives its text: inside the frame and the text margins.
        QStyleOptionFrame option;
        option.initFrom(e);
        option.rect = e->rect();
        option.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
        const QRect inside = e->style()->subElementRect(QStyle::SE_LineEditContents, &option, e);
        const QMargins margins = e->textMargins();
        const int room = inside.width() - margins.left() - margins.right() - 4; // the box's own text margin
        const int needed = e->fontMetrics().horizontalAdvance(e->text());
        if (needed > room)
            cut << QStringLiteral("%1: %2 px of text in %3 px").arg(name(e, e->text())).arg(needed).arg(room);
    }
    for (const QLabel* l : window->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(window) || l->text().isEmpty() || l->wordWrap())
            continue;
        if (l->sizeHint().width() > l->width())
            cut << QStringLiteral("%1: %2 px wanted, %3 px given").arg(name(l, l->text())).arg(l->sizeHint().width()).arg(l->width());
    }
    for (const QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!b->isVisibleTo(window) || b->text().isEmpty())
            continue;
        if (b->minimumSizeHint().width() > b->width())
            cut << QStringLiteral("%1: %2 px wanted, %3 px given").arg(name(b, b->text())).arg(b->minimumSizeHint().width()).arg(b->width());
    }
    return cut;
}

// The field helps (tooltips) of a window's controls that its status bar would
// show cut: wider than the bar less the room it keeps around a message.
inline QStringList cutHelps(const QWidget* window, const QStatusBar* bar)
{
    QStringList cut;
    const QFontMetrics fm(bar->font());
    const int room = bar->width() - 12;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (w->toolTip().isEmpty())
            continue;
        if (fm.horizontalAdvance(w->toolTip()) > room)
            cut << QStringLiteral("%1: '%2'").arg(w->objectName(), w->toolTip());
    }
    return cut;
}
