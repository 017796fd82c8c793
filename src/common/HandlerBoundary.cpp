#include "common/HandlerBoundary.h"

#include "platform/core/Error.h"
#include "platform/ui/Dialogs.h"

#include <QCoreApplication>
#include <exception>

bool atHandlerBoundary(const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const core::Error& e) {
        ui::msgBox(e.text(), ui::vbCritical, QCoreApplication::applicationName());
    } catch (const std::exception& e) {
        ui::msgBox(QString::fromLocal8Bit(e.what()), ui::vbCritical, QCoreApplication::applicationName());
    }
    return false;
}
