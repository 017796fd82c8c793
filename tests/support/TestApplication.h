#pragma once

#include "platform/ui/ApplicationHabits.h"

#include <QApplication>
#include <QCoreApplication>
#include <QString>

// The one QApplication of a test process, made on first use (never during test
// discovery, which may run without a display) on the offscreen platform, with
// the program's names. The tests of the keyboard habits themselves use it bare.
inline QApplication& bareTestApplication()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "corvessa_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Corvessa"));
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrel"));
    return *app;
}

// The same application with the keyboard habits the program installs for
// every window.
inline QApplication& testApplication()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    QApplication& app = bareTestApplication();
    ui::installApplicationHabits(app);
    return app;
}
