#pragma once

#include "platform/database/Types.h"

#include <QString>

// The layer's own errors, with the Italian descriptions the user reads.
namespace db::errors {

DbError objectClosed();
DbError noCurrentRecord();
DbError itemNotFound(const QString& name);
DbError notSupported(const QString& what);
DbError invalidOperation(const QString& what);
DbError readOnlyRecordset();
DbError tooLong(const QString& column, int definedSize);
DbError badValue(const QString& column, const QString& value);
DbError conflict();
DbError noSuchTable(const QString& table);
DbError fileNotFound(const QString& path);
// Opening a file that is no database, or not one any more.
DbError notADatabase(const QString& path);
// A file found damaged while in use (NotADatabase kind).
DbError damaged(const QString& path);
// A text holding the character U+0000, which the engine would not keep whole.
DbError nulInText(const QString& column);

} // namespace db::errors
