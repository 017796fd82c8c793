#pragma once

#include <QApplication>

// One application for the whole test run, never destroyed: Qt's input devices
// go away with it at exit, after the statics it would have to outlive.
inline QApplication& testApp()
{
    static int argc = 1;
    static char name[] = "test_grid";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}
