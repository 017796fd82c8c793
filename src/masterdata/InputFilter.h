#pragma once

#include <QPointer>
#include <QString>
#include <QValidator>
#include <functional>

class QLineEdit;

// A key filter that holds for every way text arrives in a line edit (typing,
// paste, drag and drop), not only for key presses: each newly inserted
// character goes through `map`, which returns the character to keep, a
// replacement, or a null QChar to drop it. Text set by the program is left
// alone, so a formatted "1.234,50" shown in the box stays as it is.
// A change that keeps nothing of what arrived, or that `accept` refuses, has
// no effect at all: the box keeps its text and its selection.
class InputFilter : public QValidator {
    Q_OBJECT
public:
    using Map = std::function<QChar(QChar)>;
    using Accept = std::function<bool(const QString&)>;
    InputFilter(QLineEdit* box, Map map, Accept accept = {});

    State validate(QString& input, int& pos) const override;

    // The filter of an amount or percentage box: digits, "," and "." (read as
    // core::parseTypedNumber reads them), and only text that can still become
    // such a number (no second comma, no point after the comma).
    static InputFilter* numeroDecimale(QLineEdit* box);
    // True when `text` is empty or the start of a number parseTypedNumber reads.
    static bool numeroInCorso(const QString& text);

    // The filters of the entry forms.
    // Digits, "," and "." (SoloDecimali, the point kept for the reading to place).
    static QChar decimali(QChar c);
    // Upper case, apostrophes dropped (a VAT code).
    static QChar codiceIva(QChar c);

private:
    QPointer<QLineEdit> m_box;
    Map m_map;
    Accept m_accept;
    QString m_last; // the box's text before the change being validated
};
