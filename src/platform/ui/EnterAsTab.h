#pragma once

class QWidget;

namespace ui {

// The kinds of control on which a form turns Enter into Tab.
enum EnterAsTabControls : unsigned {
    EnterOnTextBoxes = 1u << 0,  // line edits and multi-line text boxes
    EnterOnCheckBoxes = 1u << 1,
    EnterOnComboBoxes = 1u << 2,
    EnterOnSpinBoxes = 1u << 3,  // spin boxes and date pickers (QDateEdit, DateBox)
};

// "Enter moves to the next field": Return or keypad Enter pressed in a control
// of the given kinds inside `form` is swallowed and a Tab keystroke is sent to
// the form's window, so focus moves exactly as Tab would. Buttons and other
// controls keep their own Enter. In a multi-line text box a plain Enter moves
// on too, while Ctrl+Enter stays in the box as a line break. Lives as long as the form.
void installEnterAsTab(QWidget* form, unsigned controls = EnterOnTextBoxes | EnterOnCheckBoxes);

} // namespace ui
