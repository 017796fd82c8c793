#pragma once

class QWidget;

namespace ui {

// Places a top-level window whole on the available part of its screen, as it
// is shown (the application's habits call it for every window and dialog):
// - a window the program has not placed opens centred over the window it
//   belongs to (its parent's, else the active one), or on the screen;
// - a window larger than the screen is made as large as the screen allows (its
//   layout or scroll areas keep the contents reachable);
// - then, wherever it stands, it is pushed inside the screen, frame included.
// Popups, tool tips and maximised or full-screen windows are left alone.
void fitOnScreen(QWidget* window);

} // namespace ui
