#pragma once

#include <QMainWindow>

// The main window. For now it shows the application title only; its views,
// menus and commands come with the main window's own work.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the main window, refreshes it and shows it modeless; returns at once.
    static void Visualizza();
    // Reloads the current section's settings and the current view.
    static void SetLay();
    static frmMain* instance();
    static bool exists();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frmMain();
};
