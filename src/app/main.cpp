#include "platform/core/Error.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ItalianSetup.h"
#include "app/Main.h"
#include "startup/Session.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

namespace {

// Every handler runs inside the event loop: an error that escapes one is shown
// to the user instead of ending the program.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const core::Error& e) {
            ui::msgBox(e.text(), ui::vbCritical, applicationName());
        } catch (const std::exception& e) {
            ui::msgBox(QString::fromLocal8Bit(e.what()), ui::vbCritical, applicationName());
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvessa"));
    QApplication::setOrganizationName(QStringLiteral("Vantrel"));
    ui::setupItalian(app);
    Session sessione;
    const Session::Scope ambito(sessione);

    try {
        Main();
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbCritical, QApplication::applicationName());
        return 1;
    }
    // The start was abandoned: no window is open and the program ends.
    const auto windows = QApplication::topLevelWidgets();
    if (std::none_of(windows.begin(), windows.end(), [](const QWidget* w) { return w->isVisible(); }))
        return 0;
    return app.exec();
}
