#include "platform/ui/ApplicationHabits.h"

#include "platform/ui/ComboSearch.h"
#include "platform/ui/ScreenFit.h"
#include "platform/ui/TextInput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace ui {

namespace {

const char* const kName = "corvessa_application_habits";

class ApplicationHabits : public QObject {
public:
    explicit ApplicationHabits(QApplication& app) : QObject(&app) { setObjectName(QLatin1String(kName)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Polish:
            // Every widget is polished once, before it is first shown.
            if (auto* box = qobject_cast<QLineEdit*>(watched))
                dropNulOnInput(box);
            else if (auto* plain = qobject_cast<QPlainTextEdit*>(watched))
                dropNulOnInput(plain);
            return false;
        case QEvent::Show:
            // Sent before the window reaches the screen, so it appears in its place.
            if (watched->isWidgetType() && !event->spontaneous() && static_cast<QWidget*>(watched)->isWindow())
                fitOnScreen(static_cast<QWidget*>(watched));
            return false;
        case QEvent::KeyPress:
            return keyPress(watched, static_cast<QKeyEvent*>(event));
        default:
            return false;
        }
    }

private:
    static bool keyPress(QObject* watched, QKeyEvent* event)
    {
        // A key travels from the focus widget up through its parents: only its first stop counts.
        if (!watched->isWidgetType() || watched != QApplication::focusWidget())
            return false;
        if (auto* button = qobject_cast<QAbstractButton*>(watched))
            return pressButton(button, event);
        if (auto* combo = qobject_cast<QComboBox*>(watched))
            return ComboSearch::handleKey(combo, event);
        return false;
    }

    static bool pressButton(QAbstractButton* button, QKeyEvent* event)
    {
        if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
            return false;
        if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        // Check boxes and option buttons keep Enter for the forms (Enter-as-Tab).
        if (!qobject_cast<QPushButton*>(button) && !qobject_cast<QToolButton*>(button))
            return false;
        if (!button->isEnabled() || !button->isVisible())
            return false;
        button->click();
        return true;
    }
};

} // namespace

void installApplicationHabits(QApplication& app)
{
    if (app.findChild<ApplicationHabits*>(QLatin1String(kName), Qt::FindDirectChildrenOnly))
        return;
    app.installEventFilter(new ApplicationHabits(app));
}

} // namespace ui
