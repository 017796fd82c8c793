#include "domain/WriteFailure.h"

#include "platform/database/Types.h"

WriteFailure writeFailureOf(const core::Error& e)
{
    const auto* dbError = dynamic_cast<const db::DbError*>(&e);
    if (!dbError)
        return WriteFailure::Rule;
    if (dbError->kind() == db::ErrorKind::Conflict)
        return WriteFailure::Conflict;
    if (dbError->kind() == db::ErrorKind::Busy)
        return WriteFailure::Busy;
    return WriteFailure::Database;
}
