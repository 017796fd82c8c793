#pragma once

class QApplication;

namespace ui {

// The keyboard and input habits every window of the program shares, as on the
// platform its users come from, installed once for the whole application:
// - Enter (or keypad Enter) on a focused push button presses it; the forms'
//   Enter-as-Tab stays on the controls they name;
// - a closed drop-down list searches as the user types, spaces included, and
//   opens only with F4 or Alt+Down (ComboSearch);
// - text boxes leave the character U+0000 out of what is typed or pasted;
// - every window and dialog opens whole on its screen (fitOnScreen).
// Installing again does nothing.
void installApplicationHabits(QApplication& app);

} // namespace ui
