#pragma once

#include "platform/core/Currency.h"
#include "platform/core/Variant.h"

#include <QDate>
#include <QString>

// SQL text built from values.

// The date literal "#mm/dd/yyyy#" (5 March 2024: "#03/05/2024#") under any
// locale; the time part is dropped.
QString SqlData(const QDate& date);
// Dates, date text ("yyyy-MM-dd" or Italian "dd/MM/yyyy") and date serials.
// Empty is day zero (30 December 1899); Null and anything else that is not a
// date raise core::Error, so no broken literal reaches a statement.
QString SqlData(const core::Variant& date);

// The text with its single quotes doubled, for use between single quotes:
// "'" + SqlText(name) + "'" keeps a client called D'Amico whole.
QString SqlText(const QString& text);
// The whole SQL text literal, quotes included: SqlQuoted("D'Amico") is
// 'D''Amico'. A text holding the NUL character would cut the statement short
// and raises core::Error instead.
QString SqlQuoted(const QString& text);

// A number with a dot decimal, whatever the locale ("1234.5").
QString SqlNumber(double value);
QString SqlNumber(const core::Currency& value);
