#pragma once

#include "platform/core/Error.h"

#include <QString>

// How a write of a document or its rows failed, for the words a window uses.
enum class WriteFailure {
    Conflict, // a row changed or deleted by another user meanwhile
    Busy,     // another user held the database past the wait
    Database, // any other failure of the data layer
    Rule,     // a refusal of the program's own rules
};
WriteFailure writeFailureOf(const core::Error& e);

// The message of a conflict, the same wherever a write meets one.
inline const QString kConflictMessage =
    QStringLiteral("Conflitto in multiutenza - Record impegnato o eliminato da un altro utente.");
