#include "masterdata/InputFilter.h"

#include "common/comUtility.h"

#include "platform/core/Format.h"
#include "platform/ui/TextInput.h"

#include <QLineEdit>

InputFilter::InputFilter(QLineEdit* box, Map map, Accept accept)
    : QValidator(box), m_box(box), m_map(std::move(map)), m_accept(std::move(accept)), m_last(box->text())
{
    // The box's text after each change (typed or set), so the next validate
    // can tell the inserted characters from those already there.
    connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { m_last = text; });
}

QValidator::State InputFilter::validate(QString& input, int& pos) const
{
    // setText() validates too; text the program sets is not the user's and stays as it is.
    if (input == m_last || (m_box && !m_box->isModified()))
        return Acceptable;
    const ui::InsertedRun run = ui::insertedRun(m_last, input);
    if (run.text.isEmpty())
        return Acceptable;
    QString kept;
    for (const QChar c : run.text) {
        const QChar mapped = m_map(c);
        if (!mapped.isNull())
            kept.append(mapped);
    }
    // A refused key (or paste) changes nothing, not even the selection it would replace.
    if (kept.isEmpty())
        return Invalid;
    input = ui::replaceRun(input, run, kept);
    if (m_accept && !m_accept(input))
        return Invalid;
    // The box's length limit, on what the filter kept.
    if (m_box)
        ui::fitOneLine(m_box, m_last, input, pos);
    pos = ui::cursorAfterRun(pos, run, kept.size());
    return Acceptable;
}

InputFilter* InputFilter::numeroDecimale(QLineEdit* box)
{
    return new InputFilter(box, &InputFilter::decimali, &InputFilter::numeroInCorso);
}

bool InputFilter::numeroInCorso(const QString& text)
{
    if (text.trimmed().isEmpty())
        return true;
    // The start of a number when a few more digits make one ("1.2" of "1.200", "," of ",5").
    for (const QString& rest : {QString(), QStringLiteral("0"), QStringLiteral("00"), QStringLiteral("000"),
                                QStringLiteral("0000")}) {
        if (core::parseTypedNumber(text + rest))
            return true;
    }
    return false;
}

QChar InputFilter::decimali(QChar c)
{
    if (c.unicode() > 127)
        return {};
    if (c == QLatin1Char('.'))
        return c;
    const int kept = SoloDecimali(c.unicode());
    // Backspace and Tab pass the key filter but are never text.
    if (kept == 0 || kept == 8 || kept == 9)
        return {};
    return QChar(kept);
}

QChar InputFilter::codiceIva(QChar c)
{
    if (c == QLatin1Char('\'') || c.category() == QChar::Other_Control)
        return {};
    return c.toUpper();
}
