#pragma once

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// The one QApplication of a test process, made on first use (never during test
// discovery, which may run without a display) on the offscreen platform.
inline QApplication& testApplication()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Corvessa"));
    return *app;
}
