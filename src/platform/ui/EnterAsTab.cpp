#include "platform/ui/EnterAsTab.h"

#include "platform/ui/DateBox.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>

namespace ui {

namespace {

// Watches the application's key presses (key events go to the focused child,
// which may be created after installation) and acts on those inside its form.
class EnterAsTabFilter : public QObject {
public:
    EnterAsTabFilter(QWidget* form, unsigned controls) : QObject(form), m_form(form), m_controls(controls)
    {
        setObjectName(QLatin1String(kName));
        qApp->installEventFilter(this);
    }

    void setControls(unsigned controls) { m_controls = controls; }

    static constexpr const char* kName = "corvessa_enter_as_tab";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !m_form)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !m_form->isAncestorOf(widget))
            return false;

        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        const bool multiLine = qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QTextEdit*>(widget);
        if (!applies(widget, multiLine))
            return false;
        if (multiLine && modifiers == Qt::ControlModifier)
            return insertLineBreak(widget);
        if (modifiers != Qt::NoModifier)
            return false;

        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(m_form->window(), &tab);
        return true;
    }

private:
    bool applies(QWidget* widget, bool multiLine) const
    {
        if (multiLine)
            return m_controls & EnterOnTextBoxes;
        if (qobject_cast<QCheckBox*>(widget))
            return m_controls & EnterOnCheckBoxes;
        if (qobject_cast<QComboBox*>(widget))
            return m_controls & EnterOnComboBoxes;
        if (qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<DateBox*>(widget))
            return m_controls & EnterOnSpinBoxes;
        if (qobject_cast<QLineEdit*>(widget)) {
            // The editor inside a combo or spin box belongs to that control.
            QWidget* parent = widget->parentWidget();
            if (qobject_cast<QComboBox*>(parent))
                return m_controls & EnterOnComboBoxes;
            if (qobject_cast<QAbstractSpinBox*>(parent))
                return m_controls & EnterOnSpinBoxes;
            return m_controls & EnterOnTextBoxes;
        }
        return false;
    }

    static bool insertLineBreak(QWidget* widget)
    {
        if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
            if (plain->isReadOnly())
                return true;
            QTextCursor cursor = plain->textCursor();
            cursor.insertBlock();
            plain->setTextCursor(cursor);
            return true;
        }
        auto* rich = static_cast<QTextEdit*>(widget);
        if (!rich->isReadOnly()) {
            QTextCursor cursor = rich->textCursor();
            cursor.insertBlock();
            rich->setTextCursor(cursor);
        }
        return true;
    }

    QPointer<QWidget> m_form;
    unsigned m_controls;
};

} // namespace

void installEnterAsTab(QWidget* form, unsigned controls)
{
    if (!form || !qApp)
        return;
    // A second call changes the kinds instead of adding a second filter (two Tabs).
    if (auto* existing = form->findChild<EnterAsTabFilter*>(QLatin1String(EnterAsTabFilter::kName),
                                                            Qt::FindDirectChildrenOnly)) {
        existing->setControls(controls);
        return;
    }
    new EnterAsTabFilter(form, controls);
}

} // namespace ui
