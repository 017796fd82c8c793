#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace ui {

// The character U+0000 never enters a text box: the database's text literals
// end at it. Typed, pasted or dropped, it is left out; text the program sets
// is left as it is.
QString withoutNul(QString text);
// A line edit without a validator of its own gets one that keeps what the
// user types or pastes as the box shows it (see fitOneLine); a validator of
// the form's own filters what it lets in by itself and calls fitOneLine.
void dropNulOnInput(QLineEdit* box);
void dropNulOnInput(QPlainTextEdit* box);

// The longest text a box takes, in the database's units (UTF-16; an emoji
// counts two). 0: no limit. Longer typed, pasted or dropped text is cut at a
// whole character (never half an emoji, never a letter without its accent)
// and the box says so in a hint beside itself.
void setTextLimit(QWidget* box, int units);
int textLimit(const QWidget* box);

// The user changed a one-line box from `before` to `input`: the inserted run
// is made one line as the box shows it (line breaks and tabs become blanks,
// U+0000 goes), then cut to the box's limit. Keeps `pos` on the same place.
void fitOneLine(QLineEdit* box, const QString& before, QString& input, int& pos);

// What an edit from `before` to `after` put in: the run of `after` between
// the longest prefix and suffix the two texts share (empty when the edit only
// removed text).
struct InsertedRun {
    qsizetype start = 0;
    QString text;
    qsizetype end() const { return start + text.size(); }
};
InsertedRun insertedRun(const QString& before, const QString& after);
// `input` with the run replaced by `kept`.
QString replaceRun(const QString& input, const InsertedRun& run, const QString& kept);
// The cursor `pos` once the run became `keptSize` characters long: in the same
// place relative to the text after the run, and within what was kept of it.
int cursorAfterRun(int pos, const InsertedRun& run, qsizetype keptSize);

// The hint a box shows when it cut what the user typed or pasted.
QString cutHint(int units);

} // namespace ui
