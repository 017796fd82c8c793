#pragma once

#include <QString>

// Text rules of the dialect shared by the SQL functions and the criteria.
namespace db::jet {

// Jet's LIKE, without regard to case: * and % any run, ? and _ one character,
// # one digit, [abc] [a-z] [!abc] a character class.
bool likeMatches(const QString& text, const QString& pattern);

// A number as concatenation shows it: no trailing zeros, a dot for decimals.
QString numberText(double value);

// A day serial as concatenation shows a date: dd/mm/yyyy, with hh:nn:ss when it has a time.
QString dateText(double serial);

// Format(value, pattern) for the patterns queries use: date patterns (d dd m mm
// yy yyyy h hh n nn s ss, "\" quoting the next character) and number patterns
// ("0.00", "#,##0.00", with ";" sections for negative and zero).
QString formatNumber(double value, const QString& pattern);
QString formatDate(double serial, const QString& pattern);
bool isDatePattern(const QString& pattern);

} // namespace db::jet
