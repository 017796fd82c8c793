#pragma once

#include "platform/core/Variant.h"

#include <QLatin1String>
#include <QString>

// Null-safe reads of field values.

// The value when it is text, else the default: a number reads as the default, not as its digits.
QString NzStr(const core::Variant& value, const QString& defaultValue);
// The value as a number when it is one: a number subtype (Booleans as -1 and
// 0), or text in Italian notation ("12,5", "1.234,5") or plain notation
// ("12.5") whatever the machine's locale. Otherwise the default.
double NzNum(const core::Variant& value, double defaultValue);

// Key filters for key-press handlers: they take the typed character code and
// return the code to keep, a replacement, or 0 to drop the key.

// Digits, Backspace, Tab.
int SoloCifre(int keyAscii);
// Digits, ",", Backspace, Tab; "." becomes ",".
int SoloDecimali(int keyAscii);
// As SoloDecimali, and "-".
int SoloDecimaliSegno(int keyAscii);
// Unaccented letters, Backspace, Tab.
int SoloLettere(int keyAscii);

// The line break of the program's messages.
inline constexpr QLatin1String kCrLf("\r\n");

// What the setup and the service form tell when the row they save was
// changed or deleted from elsewhere (the other windows say kConflictMessage).
QString recordChangedText();
