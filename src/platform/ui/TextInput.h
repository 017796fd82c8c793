#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace ui {

// The character U+0000 never enters a text box: the database's text literals
// end at it. Typed, pasted or dropped, it is left out; text the program sets
// is left as it is.
QString withoutNul(QString text);
// A line edit without a validator of its own gets one that leaves U+0000 out
// (a validator of the form's own filters what it lets in by itself).
void dropNulOnInput(QLineEdit* box);
void dropNulOnInput(QPlainTextEdit* box);

} // namespace ui
