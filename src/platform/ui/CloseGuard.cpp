#include "platform/ui/CloseGuard.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace ui {

namespace {

constexpr const char* kGuardName = "corvessa_close_guard";

class CloseGuardFilter : public QObject {
public:
    explicit CloseGuardFilter(QWidget* window) : QObject(window)
    {
        setObjectName(QLatin1String(kGuardName));
        window->installEventFilter(this);
    }

    bool blocked = false;
    int allowDepth = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && watched == parent() && blocked && allowDepth == 0) {
            event->ignore();
            return true;
        }
        return false;
    }
};

CloseGuardFilter* guardOf(const QWidget* window)
{
    return window ? window->findChild<CloseGuardFilter*>(QLatin1String(kGuardName), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

} // namespace

void blockWindowClose(QWidget* window, bool block)
{
    if (!window)
        return;
    CloseGuardFilter* guard = guardOf(window);
    if (!guard) {
        if (!block)
            return;
        guard = new CloseGuardFilter(window);
    }
    guard->blocked = block;
}

bool isWindowCloseBlocked(const QWidget* window)
{
    const CloseGuardFilter* guard = guardOf(window);
    return guard && guard->blocked;
}

CloseAllowed::CloseAllowed(QWidget* window) : m_window(window)
{
    if (CloseGuardFilter* guard = guardOf(window))
        ++guard->allowDepth;
}

CloseAllowed::~CloseAllowed()
{
    // The window may have been destroyed by its close (delete-on-close).
    if (CloseGuardFilter* guard = guardOf(m_window))
        --guard->allowDepth;
}

bool closeForm(QWidget* window)
{
    if (!window)
        return false;
    QPointer<QWidget> alive(window);
    CloseGuardFilter* guard = guardOf(window);
    if (guard)
        ++guard->allowDepth;
    const bool closed = window->close();
    if (alive && (guard = guardOf(alive)))
        --guard->allowDepth;
    return closed;
}

} // namespace ui
