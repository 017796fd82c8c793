#include "platform/database/jet/JetText.h"

#include "platform/core/Variant.h"

#include <QDateTime>
#include <cmath>

namespace db::jet {

namespace {

bool charEquals(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// Matches pattern[p..] against text[t..]; classic backtracking over runs.
bool matchFrom(const QString& text, int t, const QString& pattern, int p)
{
    while (p < pattern.size()) {
        const QChar c = pattern.at(p);
        if (c == QLatin1Char('*') || c == QLatin1Char('%')) {
            while (p < pattern.size() && (pattern.at(p) == QLatin1Char('*') || pattern.at(p) == QLatin1Char('%')))
                ++p;
            if (p == pattern.size())
                return true;
            for (int k = t; k <= text.size(); ++k)
                if (matchFrom(text, k, pattern, p))
                    return true;
            return false;
        }
        if (t >= text.size())
            return false;
        if (c == QLatin1Char('?') || c == QLatin1Char('_')) {
            ++t;
            ++p;
        } else if (c == QLatin1Char('#')) {
            if (!text.at(t).isDigit())
                return false;
            ++t;
            ++p;
        } else if (c == QLatin1Char('[')) {
            const int close = pattern.indexOf(QLatin1Char(']'), p + 1);
            if (close < 0) { // an unclosed bracket is a literal
                if (!charEquals(text.at(t), c))
                    return false;
                ++t;
                ++p;
                continue;
            }
            QString set = pattern.mid(p + 1, close - p - 1);
            bool negate = false;
            if (set.startsWith(QLatin1Char('!'))) {
                negate = true;
                set.remove(0, 1);
            }
            const QChar ch = text.at(t).toCaseFolded();
            bool found = false;
            for (int i = 0; i < set.size(); ++i) {
                if (i + 2 < set.size() && set.at(i + 1) == QLatin1Char('-')) {
                    const QChar lo = set.at(i).toCaseFolded();
                    const QChar hi = set.at(i + 2).toCaseFolded();
                    found = found || (ch >= lo && ch <= hi);
                    i += 2;
                } else {
                    found = found || set.at(i).toCaseFolded() == ch;
                }
            }
            if (found == negate)
                return false;
            ++t;
            p = close + 1;
        } else {
            if (!charEquals(text.at(t), c))
                return false;
            ++t;
            ++p;
        }
    }
    return t == text.size();
}

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

bool likeMatches(const QString& text, const QString& pattern)
{
    return matchFrom(text, 0, pattern, 0);
}

QString numberText(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15);
}

QString dateText(double serial)
{
    const QDateTime dt = core::dateTimeFromSerial(serial);
    QString text = dt.date().toString(QStringLiteral("dd/MM/yyyy"));
    if (dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + dt.time().toString(QStringLiteral("hh:mm:ss"));
    return text;
}

bool isDatePattern(const QString& pattern)
{
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        const QChar l = c.toLower();
        if (l == QLatin1Char('d') || l == QLatin1Char('m') || l == QLatin1Char('y') || l == QLatin1Char('h')
            || l == QLatin1Char('n') || l == QLatin1Char('s'))
            return true;
    }
    return false;
}

QString formatDate(double serial, const QString& pattern)
{
    const QDateTime dt = core::dateTimeFromSerial(serial);
    const QDate d = dt.date();
    const QTime t = dt.time();
    QString out;
    int i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            out += pattern.at(i + 1);
            i += 2;
            continue;
        }
        if (c == QLatin1Char('"')) {
            const int end = pattern.indexOf(QLatin1Char('"'), i + 1);
            out += pattern.mid(i + 1, (end < 0 ? pattern.size() : end) - i - 1);
            i = end < 0 ? pattern.size() : end + 1;
            continue;
        }
        int run = 1;
        while (i + run < pattern.size() && pattern.at(i + run).toLower() == c.toLower())
            ++run;
        switch (c.toLower().unicode()) {
        case 'd':
            out += run >= 2 ? two(d.day()) : QString::number(d.day());
            break;
        case 'm':
            out += run >= 2 ? two(d.month()) : QString::number(d.month());
            break;
        case 'y':
            out += run >= 3 ? QString::number(d.year()) : two(d.year() % 100);
            break;
        case 'h':
            out += run >= 2 ? two(t.hour()) : QString::number(t.hour());
            break;
        case 'n':
            out += run >= 2 ? two(t.minute()) : QString::number(t.minute());
            break;
        case 's':
            out += run >= 2 ? two(t.second()) : QString::number(t.second());
            break;
        default:
            out += QString(run, c);
            break;
        }
        i += run;
    }
    return out;
}

QString formatNumber(double value, const QString& pattern)
{
    const QStringList sections = pattern.split(QLatin1Char(';'));
    QString section = sections.value(0);
    bool negativeSection = false;
    if (value < 0 && sections.size() > 1 && !sections.at(1).isEmpty()) {
        section = sections.at(1);
        negativeSection = true;
    }
    const int point = section.indexOf(QLatin1Char('.'));
    int decimals = 0;
    if (point >= 0)
        for (int i = point + 1; i < section.size() && (section.at(i) == QLatin1Char('0') || section.at(i) == QLatin1Char('#')); ++i)
            ++decimals;
    const double rounded = core::roundHalfEven(std::fabs(value), decimals);
    if (rounded == 0 && sections.size() > 2)
        return sections.at(2);
    QString digits = QString::number(rounded, 'f', decimals);
    QString whole = digits.section(QLatin1Char('.'), 0, 0);
    const QString fraction = digits.section(QLatin1Char('.'), 1);
    const QString integerPattern = point >= 0 ? section.left(point) : section;
    if (whole == QLatin1String("0") && !integerPattern.contains(QLatin1Char('0')))
        whole.clear();
    if (integerPattern.contains(QLatin1Char(','))) {
        for (int i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, QLatin1Char(','));
    }
    // Literal text around the digits (a leading "-" in a negative section) is kept.
    QString prefix;
    for (const QChar c : integerPattern)
        if (c != QLatin1Char('#') && c != QLatin1Char('0') && c != QLatin1Char(','))
            prefix += c;
    QString out = prefix + whole;
    if (decimals > 0)
        out += QLatin1Char('.') + fraction;
    if (value < 0 && !negativeSection && rounded != 0)
        out.prepend(QLatin1Char('-'));
    return out;
}

} // namespace db::jet
