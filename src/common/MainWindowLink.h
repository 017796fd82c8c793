#pragma once

#include <cstdint>

class QWidget;

// What the windows of the program may ask of the main window without knowing
// it: the main window registers itself here when it is built and leaves when
// it closes, so a window lower in the program can refresh it or take it as
// parent without including it.
class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;
    // Reloads the current section's settings and the current view.
    virtual void SetLay() = 0;
    // A document was written: its row in the list is read again, the rest stays.
    virtual void DocumentSaved(std::int32_t id) { (void)id; SetLay(); }
    // The main window itself, as parent of the windows it opens.
    virtual QWidget* widget() = 0;
};

// The main window calls this with itself when built and with nullptr when it closes.
void registerMainWindow(MainWindowLink* link);
// Clears the link only while it is still `link` (a newer main window may have replaced it).
void unregisterMainWindow(MainWindowLink* link);

// SetLay on the main window; does nothing while no main window is open.
void RefreshMainWindow();
// DocumentSaved on the main window; does nothing while no main window is open.
void DocumentSavedInMainWindow(std::int32_t id);
// The main window, or nullptr while none is open.
QWidget* MainWindowWidget();
