#include "platform/report/ValueFormat.h"

#include <QDate>
#include <QLocale>
#include <QStringList>
#include <cmath>

// Until the shared formatting function of the core layer lands, the report
// component carries this small formatter of its own; formatValue() is the one
// call to swap.

namespace report {

namespace {

QStringList splitSections(const QString& pattern)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            current += c;
            current += pattern[++i];
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            current += c;
        } else if (c == QLatin1Char(';') && !quoted) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

bool hasDigitPlaceholder(const QString& section)
{
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('#') || c == QLatin1Char('0'))
            return true;
    }
    return false;
}

QString literalText(const QString& section)
{
    QString out;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('\\') && i + 1 < section.size())
            out += section[++i];
        else if (c != QLatin1Char('"'))
            out += c;
    }
    return out;
}

// The decimal text of a non-negative number rounded half away from zero, as the
// original platform's Format does. Rounding the ten-digit text (not the binary
// value) keeps 6234.225 from becoming 6234.22.
QString roundedDecimal(double value, int decimals)
{
    QString text = QString::number(value, 'f', 10);
    const int point = text.indexOf(QLatin1Char('.'));
    const int keep = point + (decimals > 0 ? decimals + 1 : 0);
    const bool up = text.size() > point + decimals + 1 && text[point + decimals + 1] >= QLatin1Char('5');
    text.truncate(keep);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (up) {
        int i = text.size() - 1;
        for (; i >= 0; --i) {
            if (text[i] == QLatin1Char('.'))
                continue;
            if (text[i] == QLatin1Char('9')) {
                text[i] = QLatin1Char('0');
            } else {
                text[i] = QChar(text[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            text.prepend(QLatin1Char('1'));
    }
    return text;
}

// Formats the magnitude |value| with one section of a numeric pattern.
QString formatNumberSection(double value, const QString& section)
{
    QString prefix, suffix;
    int intZeros = 0;
    int decZeros = 0;
    int decHashes = 0;
    bool grouping = false;
    bool percent = false;
    bool seenDigit = false;
    bool seenPoint = false;
    bool afterDigits = false;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        QString literal;
        if (c == QLatin1Char('\\') && i + 1 < section.size()) {
            literal = section[++i];
        } else if (c == QLatin1Char('"')) {
            const int end = section.indexOf(QLatin1Char('"'), i + 1);
            literal = section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            i = end < 0 ? section.size() : end;
        } else if (c == QLatin1Char('#') || c == QLatin1Char('0')) {
            if (afterDigits) {
                // digits after a literal in the middle: keep simple, treat as more digits
            }
            seenDigit = true;
            if (seenPoint)
                (c == QLatin1Char('0') ? decZeros : decHashes)++;
            else if (c == QLatin1Char('0'))
                ++intZeros;
            continue;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            seenDigit = true;
            continue;
        } else if (c == QLatin1Char(',') && seenDigit && !seenPoint) {
            grouping = true;
            continue;
        } else if (c == QLatin1Char('%')) {
            percent = true;
            literal = c;
        } else {
            literal = c;
        }
        if (seenDigit) {
            suffix += literal;
            afterDigits = true;
        } else {
            prefix += literal;
        }
    }
    if (percent)
        value *= 100.0;
    const int decimals = decZeros + decHashes;
    QString digits = roundedDecimal(std::fabs(value), decimals);
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    QString decPart = decimals > 0 ? digits.section(QLatin1Char('.'), 1, 1) : QString();
    while (decPart.size() > decZeros && decPart.endsWith(QLatin1Char('0')))
        decPart.chop(1);
    if (intPart == QLatin1String("0") && intZeros == 0)
        intPart.clear();
    while (intPart.size() < intZeros)
        intPart.prepend(QLatin1Char('0'));
    if (grouping) {
        for (int pos = intPart.size() - 3; pos > 0; pos -= 3)
            intPart.insert(pos, QLatin1Char('.'));
    }
    QString number = intPart;
    if (!decPart.isEmpty())
        number += QLatin1Char(',') + decPart;
    return prefix + number + suffix;
}

QString formatNumber(double value, const QString& pattern)
{
    const QStringList sections = splitSections(pattern);
    QString section = sections.value(0);
    bool negativeSection = false;
    if (value == 0.0 && sections.size() >= 3) {
        section = sections[2];
    } else if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        section = sections[1];
        negativeSection = true;
    }
    if (!hasDigitPlaceholder(section))
        return literalText(section);
    QString text = formatNumberSection(value, section);
    // A negative number formatted by the first section carries its own sign,
    // unless the rounded text is zero.
    if (value < 0 && !negativeSection) {
        bool nonZero = false;
        for (const QChar c : text)
            nonZero |= c.isDigit() && c != QLatin1Char('0');
        if (nonZero)
            text.prepend(QLatin1Char('-'));
    }
    return text;
}

bool isDatePattern(const QString& pattern)
{
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i].toLower();
        if (pattern[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('d') || c == QLatin1Char('y') || c == QLatin1Char('m') || c == QLatin1Char('h')
            || c == QLatin1Char('n') || c == QLatin1Char('s'))
            return true;
        if (c == QLatin1Char('#') || c == QLatin1Char('0'))
            return false;
    }
    return false;
}

QString formatDate(const QDateTime& dt, const QString& pattern)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QString out;
    bool afterHour = false;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            out += pattern[i + 1];
            i += 2;
            continue;
        }
        const QChar lc = c.toLower();
        int run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == lc)
            ++run;
        const QDate d = dt.date();
        const QTime t = dt.time();
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        if (lc == QLatin1Char('d')) {
            out += run == 1 ? QString::number(d.day()) : run == 2 ? two(d.day())
                 : run == 3 ? italian.dayName(d.dayOfWeek(), QLocale::ShortFormat)
                            : italian.dayName(d.dayOfWeek(), QLocale::LongFormat);
        } else if (lc == QLatin1Char('m') && !afterHour) {
            out += run == 1 ? QString::number(d.month()) : run == 2 ? two(d.month())
                 : run == 3 ? italian.monthName(d.month(), QLocale::ShortFormat)
                            : italian.monthName(d.month(), QLocale::LongFormat);
        } else if (lc == QLatin1Char('n') || (lc == QLatin1Char('m') && afterHour)) {
            out += run == 1 ? QString::number(t.minute()) : two(t.minute());
        } else if (lc == QLatin1Char('y')) {
            out += run <= 2 ? two(d.year() % 100) : QString::number(d.year());
        } else if (lc == QLatin1Char('h')) {
            out += run == 1 ? QString::number(t.hour()) : two(t.hour());
            afterHour = true;
            i += run;
            continue;
        } else if (lc == QLatin1Char('s')) {
            out += run == 1 ? QString::number(t.second()) : two(t.second());
        } else {
            out += QString(run, c);
        }
        if (lc != QLatin1Char(':') && lc != QLatin1Char(' '))
            afterHour = afterHour && (lc == QLatin1Char(':'));
        i += run;
    }
    return out;
}

QString plainNumber(const core::Variant& value)
{
    QString text = value.toString();
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

QString formatValue(const core::Variant& value, const QString& pattern)
{
    if (pattern.isEmpty()) {
        if (value.isDate()) {
            const QDateTime dt = value.toDateTime();
            return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd/MM/yyyy"))
                                            : dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        }
        if (value.isNumber() && value.type() != core::VarType::Boolean)
            return plainNumber(value);
        return value.toString();
    }
    if (value.isNull()) {
        const QStringList sections = splitSections(pattern);
        return sections.size() >= 4 ? literalText(sections[3]) : QString();
    }
    if (value.isEmpty())
        return {};
    if (pattern.compare(QLatin1String("Short Date"), Qt::CaseInsensitive) == 0)
        return formatValue(value, QStringLiteral("dd/mm/yyyy"));
    if (pattern.compare(QLatin1String("Long Date"), Qt::CaseInsensitive) == 0)
        return formatValue(value, QStringLiteral("dddd d mmmm yyyy"));
    if (pattern.compare(QLatin1String("Short Time"), Qt::CaseInsensitive) == 0)
        return formatValue(value, QStringLiteral("hh:nn"));
    if (pattern.compare(QLatin1String("Standard"), Qt::CaseInsensitive) == 0)
        return formatValue(value, QStringLiteral("#,##0.00"));
    if (pattern.compare(QLatin1String("Fixed"), Qt::CaseInsensitive) == 0)
        return formatValue(value, QStringLiteral("0.00"));

    if (isDatePattern(pattern)) {
        QDateTime dt;
        if (value.isDate())
            dt = value.toDateTime();
        else if (value.isString())
            dt = QDateTime(QDate::fromString(value.toString(), QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
        if (!dt.isValid())
            return value.toString();
        return formatDate(dt, pattern);
    }
    bool ok = value.isNumber();
    double number = 0;
    if (value.type() == core::VarType::Currency)
        number = value.toCurrency().toDouble();
    else if (ok)
        number = value.toDouble();
    else if (value.isString())
        number = value.toString().trimmed().toDouble(&ok);
    if (!ok)
        return value.toString();
    return formatNumber(number, pattern);
}

} // namespace report
