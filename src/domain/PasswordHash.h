#pragma once

#include <QString>

// How a professional's password is kept: never as typed, only as a salted,
// slow hash (Argon2id) whose text carries its own salt and cost parameters,
// so a stored value can be checked later even after the defaults change.

// The encoded hash of `plain` (about 100 characters, starting "$argon2id$").
// Throws core::Error when the machine cannot spare the memory the hash needs.
QString hashPassword(const QString& plain);
// True when `stored` is a hash written by hashPassword (or another Argon2 text),
// false for a plain password of an older file.
bool isPasswordHash(const QString& stored);
// True when `plain` is the password `hash` was made from.
bool verifyPasswordHash(const QString& hash, const QString& plain);
