#pragma once

#include <QPointer>
#include <QWidget>

// How the program's forms end: one way for every form. Unloading hides the
// form at once and deletes it once control is back in the event loop, so the
// handler that asked for it (often one of the form's own) never runs on
// inside a destroyed object. Code that calls a modal form keeps a QPointer to
// itself and checks it after the call returns. A platform window that closes
// itself (the report preview) uses Qt's delete-on-close, which does the same:
// hidden by the close, deleted later.

// Leaves the form without a working close button: the title-bar button,
// Alt+F4 and the window manager's close are refused; the form closes only
// through its own buttons.
void RimuoviChiudi(QWidget* frm);

// Hides the form and deletes it later; it counts as unloaded from now on.
void unloadForm(QWidget* form);
// True once unloadForm was called on the form (it may not be deleted yet).
bool isUnloaded(const QWidget* form);

// The single default instance of a form: made on first use, and made anew
// once the previous one was unloaded.
template <class Form>
class FormInstance {
public:
    template <class Make>
    Form* get(Make make)
    {
        if (!exists())
            m_form = make();
        return m_form;
    }
    // The form while it is loaded, else nullptr (never makes one).
    Form* current() const { return exists() ? m_form.data() : nullptr; }
    bool exists() const { return m_form && !isUnloaded(m_form); }
    void unload()
    {
        if (Form* form = current())
            unloadForm(form);
        m_form = nullptr;
    }

private:
    QPointer<Form> m_form;
};

// Gives a form the static instance(), exists() and Unload() of its single
// default instance. The form derives from it after its widget base and makes
// it a friend, so that its constructor may stay private.
template <class Form>
class DefaultInstance {
public:
    static Form* instance()
    {
        return s_instance.get([] { return new Form(); });
    }
    static bool exists() { return s_instance.exists(); }
    static void Unload() { s_instance.unload(); }

protected:
    // The form while it is loaded, else nullptr (never makes one).
    static Form* current() { return s_instance.current(); }

private:
    inline static FormInstance<Form> s_instance;
};
