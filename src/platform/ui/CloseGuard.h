#pragma once

#include <QPointer>
#include <QWidget>

namespace ui {

// Forms whose Close was taken away are left only through their own buttons.
//
// Protocol: blockWindowClose(form, true) makes the form refuse every close
// request that comes from outside: the title-bar button, Alt+F4, the window
// manager, and close() called by other code (the close event is ignored and
// close() returns false). The form's own buttons close it with closeForm(this)
// or inside a CloseAllowed scope; hide(), and accept()/reject() of a QDialog,
// are never refused. Esc on a QDialog calls reject(): a form that must also
// refuse Esc handles that key itself.
void blockWindowClose(QWidget* window, bool block);
bool isWindowCloseBlocked(const QWidget* window);

// While it lives, the window's own close() goes through.
class CloseAllowed {
public:
    explicit CloseAllowed(QWidget* window);
    ~CloseAllowed();
    CloseAllowed(const CloseAllowed&) = delete;
    CloseAllowed& operator=(const CloseAllowed&) = delete;

private:
    QPointer<QWidget> m_window;
};

// The form's own way out: close() with the guard lifted; returns what close() returns.
bool closeForm(QWidget* window);

} // namespace ui
