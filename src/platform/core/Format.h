#pragma once

#include "platform/core/Variant.h"

#include <QDate>
#include <QString>
#include <optional>

namespace core {

// Amounts, dates and percentages are read and shown the Italian way whatever
// the machine's locale: decimal ",", thousands ".", Italian day and month names.
// Nothing here consults QLocale or the C locale.

// The formatting function with the layouts' pattern language:
// - numeric patterns of up to four sections "positive;negative;zero;null" with
//   0 # . , % E+ E-, backslash escapes and "quoted" literals. A single section
//   puts "-" in front of negatives; a negative section is given the absolute value.
//   A value that rounds to zero at the section's decimals counts as zero, so
//   -0.001 with "0.00" gives "0,00", never "-0,00".
// - date patterns with d dd ddd dddd ddddd dddddd w ww m mm mmm mmmm q y yy yyyy
//   h hh n nn s ss ttttt c AM/PM A/P, "/" and ":"; "m" right after an hour or
//   right before seconds means minutes. Tokens are case-insensitive.
// - named formats: "General Number", "Currency" ("€ 1.234,50", "-€ 1.234,50"),
//   "Fixed", "Standard", "Percent", "Scientific", "Yes/No", "True/False",
//   "On/Off", "General Date", "Long Date", "Medium Date", "Short Date",
//   "Long Time", "Medium Time", "Short Time".
// - the empty pattern gives the default text: numbers "12,5", dates dd/mm/yyyy
//   (with hh:nn:ss when there is a time), Booleans "Vero"/"Falso".
// Null and Empty give "" (or the fourth section of a numeric pattern). Text that
// reads as an Italian number or date is formatted as one; other text is returned as it is.
// Rounding is half away from zero on the value's 15 significant digits, as the
// original function does (1.005 with "0.00" gives "1,01"); Currency is exact.
QString format(const Variant& value, const QString& pattern = {});

// "1.234,56", "12,5", "-3", " 7 ", ",5". Thousands points must group by three
// ("1.5" is refused: a point is never a decimal separator here). Refuses "abc",
// "1,2,3", "" and a lone sign.
std::optional<double> parseItalianNumber(const QString& text);

// A number as a person types it into a box: the forms above, and a point that
// is not grouping thousands stands for the decimal comma. "1.200,00" and
// "1.200" are 1200 (a point before three digits groups them); "12.5" and
// "0.125" are 12,5 and 0,125. Text that could mean two numbers is refused:
// "1,2,3", "1.20,5", "1.2.3", "1,5.2".
std::optional<double> parseTypedNumber(const QString& text);

// d/m/yyyy or d/m/yy ("/", "-" or "." between parts); two-digit years 00-29
// are 2000-2029 and 30-99 are 1930-1999, as the database engine reads them.
std::optional<QDate> parseItalianDate(const QString& text);

// Thousands grouped, exactly `decimals` decimals: (1234.5, 2) -> "1.234,50".
QString formatItalianNumber(double value, int decimals);

} // namespace core
