#include "platform/database/jet/SqliteExtensions.h"

#include "platform/core/Currency.h"
#include "platform/core/Variant.h"
#include "platform/database/jet/JetText.h"

#include <QDateTime>
#include <algorithm>
#include <QString>
#include <cmath>
#include <initializer_list>
#include <sqlite3.h>

namespace db::jet {

namespace {

QString textArg(sqlite3_value* v)
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(v));
    const int size = sqlite3_value_bytes(v);
    return QString::fromUtf8(data, size);
}

void resultText(sqlite3_context* ctx, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

bool isNull(sqlite3_value* v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

// A function of a Null gives Null: true, and the result set, when one of `args` is Null.
bool givesNull(sqlite3_context* ctx, std::initializer_list<sqlite3_value*> args)
{
    for (sqlite3_value* v : args) {
        if (isNull(v)) {
            sqlite3_result_null(ctx);
            return true;
        }
    }
    return false;
}

double numberArg(sqlite3_value* v)
{
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        bool ok = false;
        const double d = textArg(v).trimmed().toDouble(&ok);
        return ok ? d : 0.0;
    }
    return sqlite3_value_double(v);
}

// The text of a value as Jet's concatenation and CStr see it.
QString valueText(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return numberText(sqlite3_value_double(v));
    default:
        return textArg(v);
    }
}

int collateJetText(void*, int n1, const void* s1, int n2, const void* s2)
{
    // Most texts are plain ASCII: folding ASCII letters byte by byte gives the
    // same order as the case folding below, without decoding the text.
    const auto* a8 = static_cast<const unsigned char*>(s1);
    const auto* b8 = static_cast<const unsigned char*>(s2);
    const int common = std::min(n1, n2);
    int i = 0;
    for (; i < common; ++i) {
        const unsigned char x = a8[i];
        const unsigned char y = b8[i];
        if ((x | y) & 0x80)
            break;
        const unsigned char fx = (x >= 'A' && x <= 'Z') ? x + 32 : x;
        const unsigned char fy = (y >= 'A' && y <= 'Z') ? y + 32 : y;
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    if (i == common) {
        const bool restAscii = [&] {
            for (int k = i; k < n1; ++k)
                if (a8[k] & 0x80)
                    return false;
            for (int k = i; k < n2; ++k)
                if (b8[k] & 0x80)
                    return false;
            return true;
        }();
        if (restAscii)
            return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
    }
    const QString a = QString::fromUtf8(static_cast<const char*>(s1), n1);
    const QString b = QString::fromUtf8(static_cast<const char*>(s2), n2);
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// SQL's LIKE (% and _, an optional escape), without regard to case.
bool sqlLike(const QString& text, int t, const QString& pattern, int p, QChar escape)
{
    while (p < pattern.size()) {
        QChar c = pattern.at(p);
        if (!escape.isNull() && c == escape && p + 1 < pattern.size()) {
            if (t >= text.size() || text.at(t).toCaseFolded() != pattern.at(p + 1).toCaseFolded())
                return false;
            ++t;
            p += 2;
            continue;
        }
        if (c == QLatin1Char('%')) {
            while (p < pattern.size() && pattern.at(p) == QLatin1Char('%'))
                ++p;
            if (p == pattern.size())
                return true;
            for (int k = t; k <= text.size(); ++k)
                if (sqlLike(text, k, pattern, p, escape))
                    return true;
            return false;
        }
        if (t >= text.size())
            return false;
        if (c != QLatin1Char('_') && text.at(t).toCaseFolded() != c.toCaseFolded())
            return false;
        ++t;
        ++p;
    }
    return t == text.size();
}

void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (isNull(argv[0]) || isNull(argv[1]) || (argc == 3 && isNull(argv[2]))) {
        sqlite3_result_null(ctx);
        return;
    }
    QChar escape;
    if (argc == 3) {
        const QString e = textArg(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.at(0);
    }
    sqlite3_result_int(ctx, sqlLike(valueText(argv[1]), 0, textArg(argv[0]), 0, escape) ? 1 : 0);
}

void fnJetLike(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0], argv[1]}))
        return;
    sqlite3_result_int(ctx, likeMatches(valueText(argv[0]), textArg(argv[1])) ? 1 : 0);
}

void fnStr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    resultText(ctx, valueText(argv[0]));
}

void fnDateText(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        resultText(ctx, valueText(argv[0]));
        return;
    }
    resultText(ctx, dateText(sqlite3_value_double(argv[0])));
}

enum class Part { Year, Month, Day, Hour, Minute, Second, Weekday };

template <Part part>
void fnDatePart(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0]}))
        return;
    // Straight from the day serial: a QDateTime would consult the time zone on
    // every row, which dominated queries filtering on Year().
    const double serial = numberArg(argv[0]);
    const double whole = std::trunc(serial);
    const QDate date = core::dateFromSerial(whole);
    const int seconds = static_cast<int>(std::llround(std::fabs(serial - whole) * 86400.0)) % 86400;
    int v = 0;
    switch (part) {
    case Part::Year: v = date.year(); break;
    case Part::Month: v = date.month(); break;
    case Part::Day: v = date.day(); break;
    case Part::Hour: v = seconds / 3600; break;
    case Part::Minute: v = seconds / 60 % 60; break;
    case Part::Second: v = seconds % 60; break;
    case Part::Weekday: v = date.dayOfWeek() % 7 + 1; break; // Sunday = 1
    }
    sqlite3_result_int(ctx, v);
}

void fnDate(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3_result_double(ctx, core::dateSerial(QDate::currentDate()));
}

void fnNow(sqlite3_context* ctx, int, sqlite3_value**)
{
    const QDateTime now = QDateTime::currentDateTime();
    // Whole seconds: stored times compare equal to what the user sees.
    sqlite3_result_double(ctx, core::dateSerial(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()))));
}

void fnTime(sqlite3_context* ctx, int, sqlite3_value**)
{
    const QTime t = QTime::currentTime();
    sqlite3_result_double(ctx, (t.hour() * 3600 + t.minute() * 60 + t.second()) / 86400.0);
}

void fnDateSerial(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0], argv[1], argv[2]}))
        return;
    int year = sqlite3_value_int(argv[0]);
    if (year >= 0 && year < 30)
        year += 2000;
    else if (year >= 30 && year < 100)
        year += 1900;
    const QDate d = QDate(year, 1, 1).addMonths(sqlite3_value_int(argv[1]) - 1).addDays(sqlite3_value_int(argv[2]) - 1);
    sqlite3_result_double(ctx, core::dateSerial(d));
}

void fnFormat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0]}))
        return;
    const QString pattern = isNull(argv[1]) ? QString() : textArg(argv[1]);
    const bool isDate = argc > 2 && sqlite3_value_int(argv[2]) != 0;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && !isDate) {
        resultText(ctx, textArg(argv[0]));
        return;
    }
    const double v = numberArg(argv[0]);
    if (pattern.isEmpty())
        resultText(ctx, isDate ? dateText(v) : numberText(v));
    else if (isDate || isDatePattern(pattern))
        resultText(ctx, formatDate(v, pattern));
    else
        resultText(ctx, formatNumber(v, pattern));
}

void fnClng(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0]}))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
    }
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(core::roundHalfEven(numberArg(argv[0]), 0)));
}

template <bool floorToward>
void fnIntFix(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0]}))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
    }
    const double v = numberArg(argv[0]);
    sqlite3_result_double(ctx, floorToward ? std::floor(v) : std::trunc(v));
}

void fnRound(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0]}))
        return;
    sqlite3_result_double(ctx, core::roundHalfEven(numberArg(argv[0]), isNull(argv[1]) ? 0 : sqlite3_value_int(argv[1])));
}

void fnRight(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0]}))
        return;
    const QString s = valueText(argv[0]);
    const int n = std::max(0, sqlite3_value_int(argv[1]));
    resultText(ctx, s.right(n));
}

template <bool upper>
void fnCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0]}))
        return;
    const QString s = valueText(argv[0]);
    resultText(ctx, upper ? s.toUpper() : s.toLower());
}

void fnSpace(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    resultText(ctx, QString(std::max(0, sqlite3_value_int(argv[0])), QLatin1Char(' ')));
}

void fnInstr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    int start = 1;
    int first = 0;
    if (argc == 3) {
        start = std::max(1, sqlite3_value_int(argv[0]));
        first = 1;
    }
    if (givesNull(ctx, {argv[first], argv[first + 1]}))
        return;
    const QString s = valueText(argv[first]);
    const QString find = valueText(argv[first + 1]);
    if (start > s.size() + 1) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    sqlite3_result_int(ctx, static_cast<int>(s.indexOf(find, start - 1, Qt::CaseInsensitive)) + 1);
}

// Integer division and Mod round both sides to whole numbers first.
template <bool remainder>
void fnWholeDivision(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0], argv[1]}))
        return;
    const auto b = static_cast<sqlite3_int64>(core::roundHalfEven(numberArg(argv[1]), 0));
    if (b == 0) {
        sqlite3_result_error(ctx, "Divisione per zero", -1);
        return;
    }
    const auto a = static_cast<sqlite3_int64>(core::roundHalfEven(numberArg(argv[0]), 0));
    sqlite3_result_int64(ctx, remainder ? a % b : a / b);
}

void fnPow(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (givesNull(ctx, {argv[0], argv[1]}))
        return;
    sqlite3_result_double(ctx, std::pow(numberArg(argv[0]), numberArg(argv[1])));
}

struct PickState {
    sqlite3_value* value;
    bool seen;
};

template <bool last>
void stepPick(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* state = static_cast<PickState*>(sqlite3_aggregate_context(ctx, sizeof(PickState)));
    if (!state)
        return;
    if (state->seen && !last)
        return;
    if (state->value)
        sqlite3_value_free(state->value);
    state->value = sqlite3_value_dup(argv[0]);
    state->seen = true;
}

void finalPick(sqlite3_context* ctx)
{
    auto* state = static_cast<PickState*>(sqlite3_aggregate_context(ctx, 0));
    if (!state || !state->value) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_value(ctx, state->value);
    sqlite3_value_free(state->value);
    state->value = nullptr;
}

void add(sqlite3* db, const char* name, int args, void (*fn)(sqlite3_context*, int, sqlite3_value**), bool deterministic = true)
{
    const int flags = SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC : 0);
    sqlite3_create_function_v2(db, name, args, flags, nullptr, fn, nullptr, nullptr, nullptr);
}

} // namespace

void registerSqliteExtensions(sqlite3* db)
{
    sqlite3_create_collation_v2(db, "JETTEXT", SQLITE_UTF8, nullptr, collateJetText, nullptr);

    add(db, "like", 2, fnLike);
    add(db, "like", 3, fnLike);
    add(db, "jet_like", 2, fnJetLike);
    add(db, "jet_str", 1, fnStr);
    add(db, "jet_datetext", 1, fnDateText);
    add(db, "jet_year", 1, fnDatePart<Part::Year>);
    add(db, "jet_month", 1, fnDatePart<Part::Month>);
    add(db, "jet_day", 1, fnDatePart<Part::Day>);
    add(db, "jet_hour", 1, fnDatePart<Part::Hour>);
    add(db, "jet_minute", 1, fnDatePart<Part::Minute>);
    add(db, "jet_second", 1, fnDatePart<Part::Second>);
    add(db, "jet_weekday", 1, fnDatePart<Part::Weekday>);
    add(db, "jet_date", 0, fnDate, false);
    add(db, "jet_now", 0, fnNow, false);
    add(db, "jet_time", 0, fnTime, false);
    add(db, "jet_dateserial", 3, fnDateSerial);
    add(db, "jet_format", 2, fnFormat);
    add(db, "jet_format", 3, fnFormat);
    add(db, "jet_clng", 1, fnClng);
    add(db, "jet_int", 1, fnIntFix<true>);
    add(db, "jet_fix", 1, fnIntFix<false>);
    add(db, "jet_round", 2, fnRound);
    add(db, "jet_right", 2, fnRight);
    add(db, "jet_ucase", 1, fnCase<true>);
    add(db, "jet_lcase", 1, fnCase<false>);
    add(db, "jet_space", 1, fnSpace);
    add(db, "jet_instr", 2, fnInstr);
    add(db, "jet_instr", 3, fnInstr);
    add(db, "jet_intdiv", 2, fnWholeDivision<false>);
    add(db, "jet_mod", 2, fnWholeDivision<true>);
    add(db, "jet_pow", 2, fnPow);
    sqlite3_create_function_v2(db, "jet_first", 1, SQLITE_UTF8, nullptr, nullptr, stepPick<false>, finalPick, nullptr);
    sqlite3_create_function_v2(db, "jet_last", 1, SQLITE_UTF8, nullptr, nullptr, stepPick<true>, finalPick, nullptr);
}

} // namespace db::jet
