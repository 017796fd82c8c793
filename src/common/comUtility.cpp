#include "common/comUtility.h"

#include <QRegularExpression>

namespace {

constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kComma = 44;
constexpr int kMinus = 45;
constexpr int kDot = 46;

bool isDigit(int code)
{
    return code >= '0' && code <= '9';
}

bool isEditingKey(int code)
{
    return code == kBackspace || code == kTab;
}

// Text that the program takes for a number: Italian notation (comma decimal,
// dots grouping thousands in threes) and, for text that comes from stored
// data, plain notation with a dot decimal. "1.234" groups thousands: 1234.
bool parseNumber(const QString& input, double* result)
{
    static const QRegularExpression italian(
        QStringLiteral("^([+-]?)(\\d{1,3}(?:\\.\\d{3})+|\\d*)(?:,(\\d*))?(?:[eE]([+-]?\\d+))?$"));
    static const QRegularExpression plain(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?$"));

    const QString text = input.trimmed();
    const QRegularExpressionMatch m = italian.match(text);
    if (m.hasMatch()) {
        const QString whole = m.captured(2).remove(QLatin1Char('.'));
        const QString fraction = m.captured(3);
        if (!whole.isEmpty() || !fraction.isEmpty()) {
            QString canonical = m.captured(1) + (whole.isEmpty() ? QStringLiteral("0") : whole);
            if (!fraction.isEmpty())
                canonical += QLatin1Char('.') + fraction;
            if (!m.captured(4).isEmpty())
                canonical += QLatin1Char('e') + m.captured(4);
            bool ok = false;
            const double value = canonical.toDouble(&ok);
            if (ok) {
                *result = value;
                return true;
            }
        }
    }
    if (plain.match(text).hasMatch()) {
        bool ok = false;
        const double value = text.toDouble(&ok); // QString::toDouble is locale-neutral
        if (ok) {
            *result = value;
            return true;
        }
    }
    return false;
}

} // namespace

QString NzStr(const core::Variant& value, const QString& defaultValue)
{
    return value.isString() ? value.toString() : defaultValue;
}

double NzNum(const core::Variant& value, double defaultValue)
{
    if (value.isNumber())
        return value.toDouble();
    if (value.isString()) {
        double number = 0.0;
        if (parseNumber(value.toString(), &number))
            return number;
    }
    return defaultValue;
}

int SoloCifre(int keyAscii)
{
    return isDigit(keyAscii) || isEditingKey(keyAscii) ? keyAscii : 0;
}

int SoloDecimali(int keyAscii)
{
    if (keyAscii == kDot)
        return kComma;
    return isDigit(keyAscii) || keyAscii == kComma || isEditingKey(keyAscii) ? keyAscii : 0;
}

int SoloDecimaliSegno(int keyAscii)
{
    return keyAscii == kMinus ? kMinus : SoloDecimali(keyAscii);
}

int SoloLettere(int keyAscii)
{
    const bool letter = (keyAscii >= 'A' && keyAscii <= 'Z') || (keyAscii >= 'a' && keyAscii <= 'z');
    return letter || isEditingKey(keyAscii) ? keyAscii : 0;
}

QString recordChangedText()
{
    return QStringLiteral("La registrazione è stata modificata o eliminata da un'altro utente.");
}
