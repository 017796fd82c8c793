#pragma once

#include "platform/core/Variant.h"
#include "platform/database/Connection.h"

#include <QString>
#include <cstdint>

// The professionals' passwords in Sezioni.sezPass: Null or empty text means
// none; anything else is the hash of hashPassword, or (in a file written by an
// older program) the password itself, which is rewritten hashed once it has
// been typed right.

// True when the stored value asks for a password.
bool sectionHasPassword(const core::Variant& stored);

// True when `typed` opens section `sezId`: an empty text for a section without
// a password, else the password the stored hash was made from (or, for a plain
// value of an older file, the same text exactly; that value is then replaced
// by its hash). False for an unknown section.
bool checkSectionPassword(const QString& connectionString, std::int32_t sezId, const QString& typed);

// The value to store in sezPass for a new password.
core::Variant passwordToStore(const QString& plain);

// Replaces every plain password still stored by its hash; returns how many.
// Run at start, so a file from an older program holds no readable password.
int hashPlainPasswords(const QString& connectionString);
