#include "platform/ui/ScreenFit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace ui {

namespace {

bool placeable(const QWidget* window)
{
    if (!window || !window->isWindow())
        return false;
    const Qt::WindowType type = window->windowType();
    if (type != Qt::Window && type != Qt::Dialog)
        return false;
    return !(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

QMargins marginsOf(const QWidget* window)
{
    if (const QWindow* handle = window->windowHandle())
        return handle->frameMargins();
    return {};
}

bool known(const QMargins& m)
{
    return m.top() > 0 || m.left() > 0 || m.right() > 0 || m.bottom() > 0;
}

// The frame of a window is known once the window manager has decorated it, so
// not before its first showing: until then it is taken from a window already on
// screen (the decoration is the same for all), else a usual title bar and border.
QMargins frameOf(const QWidget* window)
{
    const QMargins own = marginsOf(window);
    if (known(own))
        return own;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible() && placeable(other)) {
            const QMargins m = marginsOf(other);
            if (known(m))
                return m;
        }
    }
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return {};
    return {4, 30, 4, 4};
}

// The window it belongs to: the parent's, else the one the user works in.
QWidget* anchorOf(const QWidget* window)
{
    if (QWidget* parent = window->parentWidget()) {
        if (QWidget* top = parent->window(); top->isVisible())
            return top;
    }
    QWidget* active = QApplication::activeWindow();
    if (active && active != window && active->isVisible())
        return active;
    return nullptr;
}

} // namespace

void fitOnScreen(QWidget* window)
{
    if (!placeable(window))
        return;
    const QWidget* anchor = anchorOf(window);
    const QScreen* screen = anchor ? anchor->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QMargins frame = frameOf(window);
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();

    const QSize most(room.width() - frameWidth, room.height() - frameHeight);
    if (window->width() > most.width() || window->height() > most.height())
        window->resize(window->size().boundedTo(most));

    QRect outer(window->pos(), window->size() + QSize(frameWidth, frameHeight));
    if (!window->testAttribute(Qt::WA_Moved))
        outer.moveCenter(anchor ? anchor->frameGeometry().center() : room.center());
    // A window still wider or taller than the room (its minimum forbids less)
    // keeps its top left corner on the screen, where its title bar is.
    const int x = std::max(room.left(), std::min(outer.left(), room.right() + 1 - outer.width()));
    const int y = std::max(room.top(), std::min(outer.top(), room.bottom() + 1 - outer.height()));
    if (QPoint(x, y) != window->pos() || !window->testAttribute(Qt::WA_Moved))
        window->move(x, y);
}

} // namespace ui
