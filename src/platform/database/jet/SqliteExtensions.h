#pragma once

struct sqlite3;

namespace db::jet {

// Registers on a freshly opened SQLite connection what translated Jet SQL needs:
// the collation JETTEXT (text compared without regard to case, beyond ASCII),
// a like() that folds case beyond ASCII, and the jet_* functions the translator
// emits (jet_str, jet_datetext, jet_year/month/day/hour/minute/second/weekday,
// jet_date, jet_now, jet_time, jet_dateserial, jet_format, jet_clng, jet_int,
// jet_fix, jet_round, jet_right, jet_ucase, jet_lcase, jet_space, jet_instr,
// jet_intdiv, jet_mod, jet_pow, jet_like, and the aggregates jet_first, jet_last).
// The connection layer calls it on every open.
void registerSqliteExtensions(sqlite3* db);

} // namespace db::jet
