#pragma once

#include "platform/ui/ApplicationHabits.h"

#include <QApplication>
#include <QCoreApplication>
#include <QString>

// The one QApplication of a test process, made on first use (never during test
// discovery) on the offscreen platform, with the program's title and the
// keyboard habits the program installs for every window.
inline QApplication& testApplication()
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
    ui::installApplicationHabits(*app);
    return *app;
}
