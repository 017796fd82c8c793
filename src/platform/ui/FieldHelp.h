#pragma once

class QStatusBar;
class QWidget;

namespace ui {

// Shows the tooltip of the control that has the focus in the form's status bar,
// as field help. Only controls inside `form` count.
void installFieldHelp(QWidget* form, QStatusBar* statusBar);

} // namespace ui
