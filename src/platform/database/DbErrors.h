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
DbError notADatabase(const QString& path);

} // namespace db::errors
