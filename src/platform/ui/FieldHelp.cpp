#include "platform/ui/FieldHelp.h"

#include <QApplication>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>

namespace ui {

void installFieldHelp(QWidget* form, QStatusBar* statusBar)
{
    QPointer<QWidget> guardForm(form);
    QPointer<QStatusBar> guardBar(statusBar);
    QObject::connect(qApp, &QApplication::focusChanged, statusBar, [guardForm, guardBar](QWidget*, QWidget* now) {
        if (!guardForm || !guardBar || !now || !guardForm->isAncestorOf(now))
            return;
        guardBar->showMessage(now->toolTip());
    });
}

} // namespace ui
