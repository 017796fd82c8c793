#pragma once

#include "platform/database/Types.h"

#include <QString>

struct sqlite3;

namespace db::sqlite {

// The engine's result code and message as a DbError with an Italian description.
// A message about the file names `path`, or else the file `db` has open.
DbError errorFrom(sqlite3* db, int rc, const QString& path = {});

// Throws errorFrom() unless rc is a success code.
void check(sqlite3* db, int rc, const QString& path = {});

} // namespace db::sqlite
