#include "platform/core/Format.h"

#include "platform/core/Currency.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace core {

namespace {

const QChar kDecimal = QLatin1Char(',');
const QChar kThousands = QLatin1Char('.');

const char* const kDayNames[] = {"lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato", "domenica"};
const char* const kDayAbbrev[] = {"lun", "mar", "mer", "gio", "ven", "sab", "dom"};
const char* const kMonthNames[] = {"gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
                                   "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};
const char* const kMonthAbbrev[] = {"gen", "feb", "mar", "apr", "mag", "giu",
                                    "lug", "ago", "set", "ott", "nov", "dic"};

// ---------------------------------------------------------------------------
// Decimal digits of a value, so rounding works on what the user sees rather
// than on the binary double.

struct Decimal {
    bool negative = false;
    QString intDigits;  // no leading zeros; empty for zero
    QString fracDigits; // as many as known

    bool isZero() const
    {
        for (QChar c : intDigits)
            if (c != QLatin1Char('0'))
                return false;
        for (QChar c : fracDigits)
            if (c != QLatin1Char('0'))
                return false;
        return true;
    }

    void trimLeadingZeros()
    {
        int i = 0;
        while (i < intDigits.size() && intDigits.at(i) == QLatin1Char('0'))
            ++i;
        intDigits = intDigits.mid(i);
    }

    // Multiply by 10^k (k may be negative).
    void shift(int k)
    {
        if (k > 0) {
            while (fracDigits.size() < k)
                fracDigits += QLatin1Char('0');
            intDigits += fracDigits.left(k);
            fracDigits = fracDigits.mid(k);
        } else if (k < 0) {
            const int n = -k;
            QString padded = intDigits;
            while (padded.size() < n)
                padded.prepend(QLatin1Char('0'));
            fracDigits = padded.right(n) + fracDigits;
            intDigits = padded.left(padded.size() - n);
        }
        trimLeadingZeros();
    }

    // Round to `decimals` places, half away from zero; fracDigits ends up exactly that long.
    void roundTo(int decimals)
    {
        if (decimals < 0)
            decimals = 0;
        if (fracDigits.size() <= decimals) {
            while (fracDigits.size() < decimals)
                fracDigits += QLatin1Char('0');
            return;
        }
        const bool up = fracDigits.at(decimals) >= QLatin1Char('5');
        fracDigits.truncate(decimals);
        if (!up)
            return;
        QString all = intDigits + fracDigits;
        int i = all.size() - 1;
        while (i >= 0) {
            if (all.at(i) == QLatin1Char('9')) {
                all[i] = QLatin1Char('0');
                --i;
            } else {
                all[i] = QChar(all.at(i).unicode() + 1);
                break;
            }
        }
        if (i < 0)
            all.prepend(QLatin1Char('1'));
        intDigits = all.left(all.size() - decimals);
        fracDigits = all.right(decimals);
        trimLeadingZeros();
    }
};

Decimal decimalFromDouble(double v, int significant = 15)
{
    Decimal d;
    d.negative = std::signbit(v) && v != 0.0;
    const double a = std::fabs(v);
    if (a == 0.0)
        return d;
    // 'e' notation of QString::number is locale-independent: "1.23450000000000e+03".
    const QString e = QString::number(a, 'e', significant - 1);
    const int ePos = e.indexOf(QLatin1Char('e'));
    QString digits = e.left(1) + e.mid(2, ePos - 2);
    const int exponent = e.mid(ePos + 1).toInt();
    const int pointPos = exponent + 1; // digits before the point
    if (pointPos <= 0) {
        d.fracDigits = QString(-pointPos, QLatin1Char('0')) + digits;
    } else if (pointPos >= digits.size()) {
        d.intDigits = digits + QString(pointPos - digits.size(), QLatin1Char('0'));
    } else {
        d.intDigits = digits.left(pointPos);
        d.fracDigits = digits.mid(pointPos);
    }
    d.trimLeadingZeros();
    return d;
}

Decimal decimalFromInt(std::int64_t v)
{
    Decimal d;
    d.negative = v < 0;
    // Through unsigned so the most negative value has a magnitude too.
    const std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    d.intDigits = magnitude == 0 ? QString() : QString::number(magnitude);
    return d;
}

Decimal decimalFromCurrency(Currency c)
{
    Decimal d;
    const std::int64_t raw = c.raw();
    d.negative = raw < 0;
    const std::uint64_t magnitude = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
    const std::uint64_t units = magnitude / Currency::kScale;
    const std::uint64_t fraction = magnitude % Currency::kScale;
    d.intDigits = units == 0 ? QString() : QString::number(units);
    d.fracDigits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
    return d;
}

QString groupThousands(const QString& digits)
{
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += kThousands;
        out += digits.at(i);
    }
    return out;
}

// Shortest text of a number as the platform shows it by default, Italian separators.
QString defaultNumberText(double v, int significant)
{
    if (!std::isfinite(v))
        return {};
    QString s = QString::number(v, 'g', significant);
    s.replace(QLatin1Char('e'), QLatin1Char('E'));
    s.replace(QLatin1Char('.'), kDecimal);
    return s;
}

// ---------------------------------------------------------------------------
// Pattern sections

QStringList splitSections(const QString& pattern)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (quoted) {
            current += c;
            if (c == QLatin1Char('"'))
                quoted = false;
        } else if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            current += c;
            current += pattern.at(++i);
        } else if (c == QLatin1Char('"')) {
            current += c;
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

// Is a section a date pattern? It has date letters outside literals and no digit placeholders.
bool isDateSection(const QString& section)
{
    bool dateLetters = false;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == QLatin1Char('"')) {
            const int end = section.indexOf(QLatin1Char('"'), i + 1);
            i = end < 0 ? section.size() : end;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            return false;
        } else {
            switch (c.toLower().unicode()) {
            case 'd': case 'm': case 'y': case 'h': case 'n': case 's':
            case 'w': case 'q': case 'c': case 't':
                dateLetters = true;
                break;
            default:
                break;
            }
        }
    }
    return dateLetters;
}

// ---------------------------------------------------------------------------
// Numeric sections

enum class NumTok { Literal, Zero, Hash };

struct NumToken {
    NumTok kind;
    QString text; // literal text
};

struct NumSection {
    std::vector<NumToken> intPart;
    std::vector<NumToken> fracPart;
    std::vector<NumToken> expPart;
    bool hasPoint = false;
    bool grouping = false;
    bool percent = false;
    bool scientific = false;
    bool expAlwaysSign = false; // E+ rather than E-
    QString expLetter;

    int countPlaceholders(const std::vector<NumToken>& part) const
    {
        int n = 0;
        for (const auto& t : part)
            if (t.kind != NumTok::Literal)
                ++n;
        return n;
    }
    int intPlaceholders() const { return countPlaceholders(intPart); }
    int fracPlaceholders() const { return countPlaceholders(fracPart); }
    bool hasPlaceholders() const { return intPlaceholders() + fracPlaceholders() > 0; }
    // Digits always shown left of the point: the placeholders from the first "0" on.
    int intMinimum() const
    {
        int n = 0;
        bool seenZero = false;
        for (const auto& t : intPart) {
            if (t.kind == NumTok::Zero)
                seenZero = true;
            if (seenZero && t.kind != NumTok::Literal)
                ++n;
        }
        return n;
    }
    // Decimals always shown: up to the last "0" right of the point.
    int fracMinimum() const
    {
        int n = 0, i = 0;
        for (const auto& t : fracPart) {
            if (t.kind == NumTok::Literal)
                continue;
            ++i;
            if (t.kind == NumTok::Zero)
                n = i;
        }
        return n;
    }
};

NumSection parseNumSection(const QString& s)
{
    NumSection sec;
    std::vector<NumToken>* part = &sec.intPart;
    auto literal = [&](const QString& text) {
        if (!part->empty() && part->back().kind == NumTok::Literal)
            part->back().text += text;
        else
            part->push_back({NumTok::Literal, text});
    };
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\\')) {
            if (i + 1 < s.size())
                literal(QString(s.at(++i)));
        } else if (c == QLatin1Char('"')) {
            int end = s.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0)
                end = s.size();
            literal(s.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == QLatin1Char('0')) {
            part->push_back({NumTok::Zero, {}});
        } else if (c == QLatin1Char('#')) {
            part->push_back({NumTok::Hash, {}});
        } else if (c == QLatin1Char('.') && part == &sec.intPart && !sec.hasPoint) {
            sec.hasPoint = true;
            part = &sec.fracPart;
        } else if (c == QLatin1Char(',') && part == &sec.intPart) {
            sec.grouping = true;
        } else if (c == QLatin1Char('%')) {
            sec.percent = true;
            literal(QStringLiteral("%"));
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && part != &sec.expPart && i + 1 < s.size()
                   && (s.at(i + 1) == QLatin1Char('+') || s.at(i + 1) == QLatin1Char('-'))
                   && sec.hasPlaceholders()) {
            sec.scientific = true;
            sec.expLetter = QString(c);
            sec.expAlwaysSign = s.at(i + 1) == QLatin1Char('+');
            ++i;
            part = &sec.expPart;
        } else {
            literal(QString(c));
        }
    }
    return sec;
}

// Places integer digits into the integer placeholders, right-aligned; surplus
// digits go out at the first placeholder.
QString renderIntPart(const NumSection& sec, QString digits)
{
    while (digits.size() < sec.intMinimum())
        digits.prepend(QLatin1Char('0'));
    QString out;
    if (sec.grouping) {
        bool placed = false;
        for (const auto& t : sec.intPart) {
            if (t.kind == NumTok::Literal) {
                out += t.text;
            } else if (!placed) {
                out += groupThousands(digits);
                placed = true;
            }
        }
        return out;
    }
    const int placeholders = sec.intPlaceholders();
    int seen = 0; // placeholders met so far, from the left
    for (const auto& t : sec.intPart) {
        if (t.kind == NumTok::Literal) {
            out += t.text;
            continue;
        }
        ++seen;
        const int fromRight = placeholders - seen; // 0 for the last placeholder
        if (seen == 1) {
            // Everything beyond the other placeholders' reach.
            const int take = digits.size() - fromRight;
            if (take > 0)
                out += digits.left(take);
        } else {
            const int index = digits.size() - 1 - fromRight;
            if (index >= 0)
                out += digits.at(index);
        }
    }
    return out;
}

QString renderFracPart(const NumSection& sec, const QString& digits)
{
    // Optional trailing zeros are dropped.
    QString shown = digits;
    const int minimum = sec.fracMinimum();
    while (shown.size() > minimum && shown.endsWith(QLatin1Char('0')))
        shown.chop(1);
    QString out;
    int i = 0;
    for (const auto& t : sec.fracPart) {
        if (t.kind == NumTok::Literal) {
            out += t.text;
            continue;
        }
        if (i < shown.size())
            out += shown.at(i);
        ++i;
    }
    return out;
}

QString renderExponent(const NumSection& sec, int exponent)
{
    QString out = sec.expLetter;
    if (exponent < 0)
        out += QLatin1Char('-');
    else if (sec.expAlwaysSign)
        out += QLatin1Char('+');
    QString digits = QString::number(std::abs(exponent));
    int minimum = 0;
    for (const auto& t : sec.expPart)
        if (t.kind == NumTok::Zero)
            ++minimum;
    while (digits.size() < minimum)
        digits.prepend(QLatin1Char('0'));
    bool placed = false;
    for (const auto& t : sec.expPart) {
        if (t.kind == NumTok::Literal)
            out += t.text;
        else if (!placed) {
            out += digits;
            placed = true;
        }
    }
    return out;
}

// Formats the magnitude of `d` with one section (no sign handling here).
QString renderNumber(const NumSection& sec, Decimal d, double approx)
{
    if (!sec.hasPlaceholders()) {
        QString out;
        for (const auto& t : sec.intPart)
            out += t.text;
        if (sec.hasPoint)
            out += kDecimal;
        for (const auto& t : sec.fracPart)
            out += t.text;
        return out;
    }
    if (sec.percent)
        d.shift(2);
    int exponent = 0;
    if (sec.scientific) {
        const double a = std::fabs(approx) * (sec.percent ? 100.0 : 1.0);
        const int intDigits = std::max(1, sec.intPlaceholders());
        if (a != 0.0) {
            exponent = static_cast<int>(std::floor(std::log10(a))) - (intDigits - 1);
            Decimal m = decimalFromDouble(a);
            m.shift(-exponent);
            m.roundTo(sec.fracPlaceholders());
            if (m.intDigits.size() > intDigits) { // rounding carried into a new digit
                ++exponent;
                m = decimalFromDouble(a);
                m.shift(-exponent);
                m.roundTo(sec.fracPlaceholders());
            }
            d = m;
        } else {
            d = Decimal{};
            d.roundTo(sec.fracPlaceholders());
        }
    } else {
        d.roundTo(sec.fracPlaceholders());
    }
    QString out = renderIntPart(sec, d.intDigits);
    if (sec.hasPoint)
        out += kDecimal + renderFracPart(sec, d.fracDigits);
    if (sec.scientific)
        out += renderExponent(sec, exponent);
    return out;
}

bool roundsToZero(const NumSection& sec, Decimal d)
{
    if (sec.scientific || !sec.hasPlaceholders())
        return d.isZero();
    if (sec.percent)
        d.shift(2);
    d.roundTo(sec.fracPlaceholders());
    return d.isZero();
}

QString formatNumeric(const Decimal& value, double approx, const QStringList& sections)
{
    std::vector<NumSection> parsed;
    for (const QString& s : sections)
        parsed.push_back(parseNumSection(s));
    const bool hasNegative = sections.size() >= 2 && !sections.at(1).isEmpty();
    const bool hasZero = sections.size() >= 3 && !sections.at(2).isEmpty();

    bool negative = value.negative;
    bool zero = value.isZero();
    if (negative && roundsToZero(hasNegative ? parsed[1] : parsed[0], value)) {
        negative = false;
        zero = true;
    } else if (!negative && !zero && roundsToZero(parsed[0], value)) {
        zero = true;
    }

    Decimal magnitude = value;
    magnitude.negative = false;
    if (zero && hasZero)
        return renderNumber(parsed[2], magnitude, approx);
    if (zero)
        return renderNumber(parsed[0], magnitude, approx);
    if (negative && hasNegative)
        return renderNumber(parsed[1], magnitude, approx);
    const QString text = renderNumber(parsed[0], magnitude, approx);
    return negative ? QLatin1Char('-') + text : text;
}

// ---------------------------------------------------------------------------
// Dates

struct DateParts {
    QDate date;
    int hour = 0, minute = 0, second = 0;
    bool hasTime() const { return hour || minute || second; }
};

DateParts datePartsFromSerial(double serial)
{
    double whole = std::trunc(serial);
    std::int64_t seconds = std::llround(std::fabs(serial - whole) * 86400.0);
    QDate date = dateFromSerial(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        date = date.addDays(1);
    }
    DateParts p;
    p.date = date;
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

QString shortDateText(const DateParts& p)
{
    return two(p.date.day()) + QLatin1Char('/') + two(p.date.month()) + QLatin1Char('/')
           + QStringLiteral("%1").arg(p.date.year(), 4, 10, QLatin1Char('0'));
}

QString longDateText(const DateParts& p)
{
    return QString::fromUtf8(kDayNames[p.date.dayOfWeek() - 1]) + QLatin1Char(' ') + QString::number(p.date.day())
           + QLatin1Char(' ') + QString::fromUtf8(kMonthNames[p.date.month() - 1]) + QLatin1Char(' ')
           + QString::number(p.date.year());
}

QString longTimeText(const DateParts& p)
{
    return two(p.hour) + QLatin1Char(':') + two(p.minute) + QLatin1Char(':') + two(p.second);
}

QString generalDateText(const DateParts& p)
{
    // The day of the epoch alone is a time of day.
    if (p.date == QDate(1899, 12, 30))
        return p.hasTime() ? longTimeText(p) : shortDateText(p);
    return p.hasTime() ? shortDateText(p) + QLatin1Char(' ') + longTimeText(p) : shortDateText(p);
}

enum class DTok {
    Literal, Day, Day2, DayAbbrev, DayName, ShortDate, LongDate, WeekDay, WeekOfYear,
    Month, Month2, MonthAbbrev, MonthName, Quarter, DayOfYear, Year2, Year4,
    Hour, Hour2, Minute, Minute2, Second, Second2, LongTime, General, AmPm
};

struct DateToken {
    DTok kind;
    QString text; // literal text, or the AM/PM marker as written
};

int countRun(const QString& s, int i)
{
    const QChar c = s.at(i).toLower();
    int n = 0;
    while (i + n < s.size() && s.at(i + n).toLower() == c)
        ++n;
    return n;
}

std::vector<DateToken> parseDateSection(const QString& s)
{
    std::vector<DateToken> toks;
    auto literal = [&](const QString& text) {
        if (!toks.empty() && toks.back().kind == DTok::Literal)
            toks.back().text += text;
        else
            toks.push_back({DTok::Literal, text});
    };
    for (int i = 0; i < s.size();) {
        const QChar c = s.at(i);
        const QChar lc = c.toLower();
        if (c == QLatin1Char('\\')) {
            if (i + 1 < s.size())
                literal(QString(s.at(i + 1)));
            i += 2;
            continue;
        }
        if (c == QLatin1Char('"')) {
            int end = s.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0)
                end = s.size();
            literal(s.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        const QString rest = s.mid(i);
        if (rest.startsWith(QLatin1String("am/pm"), Qt::CaseInsensitive)) {
            toks.push_back({DTok::AmPm, rest.left(5)});
            i += 5;
            continue;
        }
        if (rest.startsWith(QLatin1String("a/p"), Qt::CaseInsensitive)) {
            toks.push_back({DTok::AmPm, rest.left(3)});
            i += 3;
            continue;
        }
        if (rest.startsWith(QLatin1String("ampm"), Qt::CaseInsensitive)) {
            toks.push_back({DTok::AmPm, QStringLiteral("AM/PM")});
            i += 4;
            continue;
        }
        const int n = countRun(s, i);
        switch (lc.unicode()) {
        case 'd': {
            static const DTok kinds[] = {DTok::Day, DTok::Day2, DTok::DayAbbrev, DTok::DayName, DTok::ShortDate, DTok::LongDate};
            toks.push_back({kinds[std::min(n, 6) - 1], {}});
            break;
        }
        case 'w':
            toks.push_back({n >= 2 ? DTok::WeekOfYear : DTok::WeekDay, {}});
            break;
        case 'm':
            toks.push_back({n == 1 ? DTok::Month : n == 2 ? DTok::Month2 : n == 3 ? DTok::MonthAbbrev : DTok::MonthName, {}});
            break;
        case 'q':
            toks.push_back({DTok::Quarter, {}});
            break;
        case 'y':
            toks.push_back({n == 1 ? DTok::DayOfYear : n == 2 ? DTok::Year2 : DTok::Year4, {}});
            break;
        case 'h':
            toks.push_back({n >= 2 ? DTok::Hour2 : DTok::Hour, {}});
            break;
        case 'n':
            toks.push_back({n >= 2 ? DTok::Minute2 : DTok::Minute, {}});
            break;
        case 's':
            toks.push_back({n >= 2 ? DTok::Second2 : DTok::Second, {}});
            break;
        case 't':
            if (n >= 5) {
                toks.push_back({DTok::LongTime, {}});
                break;
            }
            literal(s.mid(i, n));
            break;
        case 'c':
            toks.push_back({DTok::General, {}});
            break;
        default:
            literal(s.mid(i, n));
            break;
        }
        i += n;
    }
    // "m" or "mm" right after an hour, or right before seconds, is minutes.
    for (std::size_t k = 0; k < toks.size(); ++k) {
        if (toks[k].kind != DTok::Month && toks[k].kind != DTok::Month2)
            continue;
        auto isTimeNeighbour = [&](std::size_t j, bool before) {
            const DTok kind = toks[j].kind;
            return before ? (kind == DTok::Hour || kind == DTok::Hour2)
                          : (kind == DTok::Second || kind == DTok::Second2);
        };
        bool minute = false;
        for (std::size_t j = k; j-- > 0;) {
            if (toks[j].kind == DTok::Literal)
                continue;
            minute = isTimeNeighbour(j, true);
            break;
        }
        for (std::size_t j = k + 1; !minute && j < toks.size(); ++j) {
            if (toks[j].kind == DTok::Literal)
                continue;
            minute = isTimeNeighbour(j, false);
            break;
        }
        if (minute)
            toks[k].kind = toks[k].kind == DTok::Month ? DTok::Minute : DTok::Minute2;
    }
    return toks;
}

QString formatDate(const DateParts& p, const QString& section)
{
    const auto toks = parseDateSection(section);
    bool twelveHour = false;
    for (const auto& t : toks)
        if (t.kind == DTok::AmPm)
            twelveHour = true;
    const int hour = twelveHour ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
    const QDate& d = p.date;
    QString out;
    for (const auto& t : toks) {
        switch (t.kind) {
        case DTok::Literal: out += t.text; break;
        case DTok::Day: out += QString::number(d.day()); break;
        case DTok::Day2: out += two(d.day()); break;
        case DTok::DayAbbrev: out += QString::fromUtf8(kDayAbbrev[d.dayOfWeek() - 1]); break;
        case DTok::DayName: out += QString::fromUtf8(kDayNames[d.dayOfWeek() - 1]); break;
        case DTok::ShortDate: out += shortDateText(p); break;
        case DTok::LongDate: out += longDateText(p); break;
        case DTok::WeekDay: out += QString::number(d.dayOfWeek() % 7 + 1); break; // Sunday is 1
        case DTok::WeekOfYear: {
            // Weeks start on Sunday and week 1 holds 1 January.
            const int jan1Offset = QDate(d.year(), 1, 1).dayOfWeek() % 7;
            out += QString::number((d.dayOfYear() - 1 + jan1Offset) / 7 + 1);
            break;
        }
        case DTok::Month: out += QString::number(d.month()); break;
        case DTok::Month2: out += two(d.month()); break;
        case DTok::MonthAbbrev: out += QString::fromUtf8(kMonthAbbrev[d.month() - 1]); break;
        case DTok::MonthName: out += QString::fromUtf8(kMonthNames[d.month() - 1]); break;
        case DTok::Quarter: out += QString::number((d.month() - 1) / 3 + 1); break;
        case DTok::DayOfYear: out += QString::number(d.dayOfYear()); break;
        case DTok::Year2: out += two(d.year() % 100); break;
        case DTok::Year4: out += QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')); break;
        case DTok::Hour: out += QString::number(hour); break;
        case DTok::Hour2: out += two(hour); break;
        case DTok::Minute: out += QString::number(p.minute); break;
        case DTok::Minute2: out += two(p.minute); break;
        case DTok::Second: out += QString::number(p.second); break;
        case DTok::Second2: out += two(p.second); break;
        case DTok::LongTime: out += longTimeText(p); break;
        case DTok::General: out += generalDateText(p); break;
        case DTok::AmPm: {
            // The marker keeps the case it was written in: AM/PM, am/pm, A/P, a/p.
            const bool pm = p.hour >= 12;
            const QStringList halves = t.text.split(QLatin1Char('/'));
            out += halves.value(pm ? 1 : 0);
            break;
        }
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Values

std::optional<double> dateSerialOf(const Variant& value)
{
    switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
    case VarType::ByteArray:
        return std::nullopt;
    case VarType::Date:
        return value.toDateSerial();
    case VarType::String: {
        if (const auto d = parseItalianDate(value.toString()))
            return dateSerial(*d);
        if (const auto n = parseItalianNumber(value.toString()))
            return *n;
        return std::nullopt;
    }
    default:
        return value.toDouble();
    }
}

// The value's digits, or nothing when it is not a number at all.
std::optional<Decimal> decimalOf(const Variant& value, double* approx)
{
    switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
    case VarType::ByteArray:
        return std::nullopt;
    case VarType::Currency: {
        const Currency c = value.toCurrency();
        *approx = c.toDouble();
        return decimalFromCurrency(c);
    }
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Boolean:
        *approx = value.toDouble();
        return decimalFromInt(value.toInt64());
    case VarType::Single: {
        *approx = value.toDouble();
        return decimalFromDouble(*approx, 7);
    }
    case VarType::String: {
        const auto n = parseItalianNumber(value.toString());
        if (!n)
            return std::nullopt;
        *approx = *n;
        return decimalFromDouble(*n);
    }
    default: {
        const double v = value.toDouble();
        if (!std::isfinite(v))
            return std::nullopt;
        *approx = v;
        return decimalFromDouble(v);
    }
    }
}

QString defaultText(const Variant& value)
{
    switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
        return {};
    case VarType::Boolean:
        return value.toBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");
    case VarType::Date:
        return generalDateText(datePartsFromSerial(value.toDateSerial()));
    case VarType::Currency: {
        QString s = value.toCurrency().toPlainString();
        s.replace(QLatin1Char('.'), kDecimal);
        return s;
    }
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
        return QString::number(value.toInt64());
    case VarType::Single:
        return defaultNumberText(value.toDouble(), 7);
    case VarType::Double:
        return defaultNumberText(value.toDouble(), 15);
    default:
        return value.toString();
    }
}

bool isTruthy(const Variant& value, bool* isNumber)
{
    double approx = 0;
    const auto d = decimalOf(value, &approx);
    *isNumber = d.has_value();
    return d && !d->isZero();
}

QString withNumericPattern(const Variant& value, const QString& pattern)
{
    const QStringList sections = splitSections(pattern);
    if (value.isEmptyOrNull()) {
        if (sections.size() >= 4)
            return formatNumeric(Decimal{}, 0.0, {sections.at(3)});
        return {};
    }
    double approx = 0;
    const auto d = decimalOf(value, &approx);
    if (!d)
        return value.toString(); // text that is no number stays as it is
    return formatNumeric(*d, approx, sections);
}

QString withDatePattern(const Variant& value, const QString& section)
{
    if (value.isEmptyOrNull())
        return {};
    const auto serial = dateSerialOf(value);
    if (!serial || !std::isfinite(*serial))
        return value.toString();
    return formatDate(datePartsFromSerial(*serial), section);
}

} // namespace

QString format(const Variant& value, const QString& pattern)
{
    if (pattern.isEmpty())
        return defaultText(value);

    const QString named = pattern.trimmed().toLower();
    if (named == QLatin1String("general number")) {
        if (value.isEmptyOrNull())
            return {};
        double approx = 0;
        if (!decimalOf(value, &approx))
            return value.toString();
        return value.type() == VarType::Currency ? defaultText(value) : defaultNumberText(approx, 15);
    }
    if (named == QLatin1String("currency"))
        return withNumericPattern(value, QStringLiteral("\"€ \"#,##0.00;-\"€ \"#,##0.00"));
    if (named == QLatin1String("fixed"))
        return withNumericPattern(value, QStringLiteral("0.00"));
    if (named == QLatin1String("standard"))
        return withNumericPattern(value, QStringLiteral("#,##0.00"));
    if (named == QLatin1String("percent"))
        return withNumericPattern(value, QStringLiteral("0.00%"));
    if (named == QLatin1String("scientific"))
        return withNumericPattern(value, QStringLiteral("0.00E+00"));
    if (named == QLatin1String("yes/no") || named == QLatin1String("true/false") || named == QLatin1String("on/off")) {
        if (value.isEmptyOrNull())
            return {};
        bool isNumber = false;
        const bool truthy = isTruthy(value, &isNumber);
        if (!isNumber)
            return value.toString();
        if (named == QLatin1String("yes/no"))
            return truthy ? QStringLiteral("Sì") : QStringLiteral("No");
        if (named == QLatin1String("true/false"))
            return truthy ? QStringLiteral("Vero") : QStringLiteral("Falso");
        return truthy ? QStringLiteral("On") : QStringLiteral("Off");
    }
    if (named == QLatin1String("general date")) {
        if (value.isEmptyOrNull())
            return {};
        const auto serial = dateSerialOf(value);
        return serial ? generalDateText(datePartsFromSerial(*serial)) : value.toString();
    }
    if (named == QLatin1String("long date"))
        return withDatePattern(value, QStringLiteral("dddddd"));
    if (named == QLatin1String("medium date"))
        return withDatePattern(value, QStringLiteral("dd-mmm-yy"));
    if (named == QLatin1String("short date"))
        return withDatePattern(value, QStringLiteral("ddddd"));
    if (named == QLatin1String("long time"))
        return withDatePattern(value, QStringLiteral("ttttt"));
    if (named == QLatin1String("medium time"))
        return withDatePattern(value, QStringLiteral("hh:nn AM/PM"));
    if (named == QLatin1String("short time"))
        return withDatePattern(value, QStringLiteral("hh:nn"));

    const QStringList sections = splitSections(pattern);
    if (isDateSection(sections.at(0)))
        return withDatePattern(value, sections.at(0));
    return withNumericPattern(value, pattern);
}


namespace {
// A sign, whole digits and decimal digits, already free of separators, as a number.
std::optional<double> plainNumber(const QString& sign, const QString& intPart, const QString& fracPart)
{
    QString plain = sign + (intPart.isEmpty() ? QStringLiteral("0") : intPart);
    if (!fracPart.isEmpty())
        plain += QLatin1Char('.') + fracPart;
    bool ok = false;
    const double v = QLocale::c().toDouble(plain, &ok);
    if (!ok)
        return std::nullopt;
    return v;
}
} // namespace

std::optional<double> parseItalianNumber(const QString& text)
{
    static const QRegularExpression kNumber(QStringLiteral(
        "^([+-]?)(\\d{1,3}(?:\\.\\d{3})+|\\d*)(?:,(\\d*))?$"));
    const QString s = text.trimmed();
    const auto m = kNumber.match(s);
    if (!m.hasMatch())
        return std::nullopt;
    QString intPart = m.captured(2);
    const QString fracPart = m.captured(3);
    if (intPart.isEmpty() && fracPart.isEmpty())
        return std::nullopt;
    intPart.remove(kThousands);
    return plainNumber(m.captured(1), intPart, fracPart);
}

std::optional<double> parseTypedNumber(const QString& text)
{
    // Groups of thousands never begin with 0: "0.125" is a decimal point.
    static const QRegularExpression kGrouped(QStringLiteral("^[1-9]\\d{0,2}(?:\\.\\d{3})+$"));
    static const QRegularExpression kNumber(QStringLiteral("^([+-]?)([\\d.]*)(?:,(\\d*))?$"));
    const auto m = kNumber.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QString intPart = m.captured(2);
    QString fracPart = m.captured(3);
    if (intPart.contains(QLatin1Char('.'))) {
        if (kGrouped.match(intPart).hasMatch()) {
            intPart.remove(QLatin1Char('.'));
        } else {
            // A single point, with no comma after it, is the decimal comma.
            if (m.capturedLength(3) > 0 || text.contains(QLatin1Char(',')) || intPart.count(QLatin1Char('.')) != 1)
                return std::nullopt;
            const qsizetype point = intPart.indexOf(QLatin1Char('.'));
            fracPart = intPart.mid(point + 1);
            intPart = intPart.left(point);
            // Three digits after the point read as thousands, badly grouped ("1234.567"): say so.
            if (fracPart.size() == 3 && !intPart.isEmpty() && intPart != QLatin1String("0"))
                return std::nullopt;
        }
    }
    if (intPart.isEmpty() && fracPart.isEmpty())
        return std::nullopt;
    return plainNumber(m.captured(1), intPart, fracPart);
}

std::optional<QDate> parseItalianDate(const QString& text)
{
    static const QRegularExpression kDate(QStringLiteral("^(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{4}|\\d{2})$"));
    const auto m = kDate.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int day = m.captured(1).toInt();
    const int month = m.captured(3).toInt();
    int year = m.captured(4).toInt();
    if (m.captured(4).size() == 2)
        year += year < 30 ? 2000 : 1900;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString formatItalianNumber(double value, int decimals)
{
    if (!std::isfinite(value))
        return {};
    Decimal d = decimalFromDouble(value);
    d.roundTo(std::max(0, decimals));
    QString out = d.intDigits.isEmpty() ? QStringLiteral("0") : groupThousands(d.intDigits);
    if (decimals > 0)
        out += kDecimal + d.fracDigits;
    if (d.negative && !d.isZero())
        out.prepend(QLatin1Char('-'));
    return out;
}

} // namespace core
