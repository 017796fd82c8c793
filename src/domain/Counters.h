#pragma once

#include "platform/database/Connection.h"

#include <QString>
#include <cstdint>
#include <optional>

// Setting a numbering series' last number by hand (the counters page). The
// series is a section, a working year and a prefix (empty: the main series,
// stored with a Null or an empty prefix). Numbers of a series never repeat, so
// the counter may not go below a number already given to a document.

// The most digits a typed counter may have: nine always fit a 32-bit number.
inline constexpr int kMaxCounterDigits = 9;

// Upper-case unaccented letters only: what a series prefix may hold.
QString cleanPrefix(const QString& text);

// The typed text as a counter, or why it is not one.
struct CounterText {
    std::optional<std::int32_t> value;
    QString error; // Italian, for the user; empty when value is set
};
CounterText parseCounterText(const QString& text);

// The series' last number; 0 when it has no counter row.
std::int32_t readCounter(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix);
// The same on a connection of its own to `connectionString`.
std::int32_t readCounter(const QString& connectionString, std::int32_t sezId, std::int32_t anno, const QString& prefix);
// The counters of a professional's year as the options window lists them:
// parId (hidden), the series and its last number.
QString counterListQuery(std::int32_t sezId, std::int32_t anno);

// The highest number already given to an invoice or credit note of the series:
// the section's documents of that prefix numbered in that year's series,
// whatever their date (a document dated in another year may be numbered in the
// working year's series); one numbered before the series' year was kept counts
// by the year of its date. The row
// of a new document still open in an editor (a provisional number, no prefix
// and no sign written yet) does not count.
std::int32_t highestIssuedNumber(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix);

enum class CounterSave {
    Written,
    ChangedMeanwhile, // the stored value is no longer the one the user saw: ask first
    BelowIssued       // the value would give again a number already issued: refused
};
struct CounterSaveResult {
    CounterSave outcome = CounterSave::Written;
    std::int32_t stored = 0;        // the counter as found inside the transaction
    std::int32_t highestIssued = 0; // the highest number issued in the series
};

// Writes `value` as the series' last number in one transaction, which reads the
// counter again first: when it no longer holds `seen` (what the user was shown)
// nothing is written and the caller asks before calling again with the new
// `seen`. A value below the highest number issued is never written. The main
// series creates its row with a Null prefix.
CounterSaveResult saveCounter(const QString& connectionString, std::int32_t sezId, std::int32_t anno, const QString& prefix,
                              std::int32_t value, std::int32_t seen);
