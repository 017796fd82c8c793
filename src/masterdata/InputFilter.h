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
class InputFilter : public QValidator {
    Q_OBJECT
public:
    using Map = std::function<QChar(QChar)>;
    InputFilter(QLineEdit* box, Map map);

    State validate(QString& input, int& pos) const override;

    // The filters of the entry forms.
    // Digits and ","; "." becomes "," (SoloDecimali).
    static QChar decimali(QChar c);
    // Upper case, apostrophes dropped (a VAT code).
    static QChar codiceIva(QChar c);

private:
    QPointer<QLineEdit> m_box;
    Map m_map;
    QString m_last; // the box's text before the change being validated
};
