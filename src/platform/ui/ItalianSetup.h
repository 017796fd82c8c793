#pragma once

class QCoreApplication;

namespace ui {

// Makes the application Italian whatever the machine's settings: the default
// locale becomes Italian (Italy) and Qt's own Italian translations (qtbase_it
// from Qt's translations folder) are installed, so Qt's own dialogs and
// standard buttons speak Italian. A widget application also gets the habits of
// every window (installApplicationHabits). Returns whether the translations loaded; the
// program runs in any case. Calling it again does not install a second copy.
bool setupItalian(QCoreApplication& app);

} // namespace ui
