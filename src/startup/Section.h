#pragma once

#include <cstdint>

// The current professional (section) and its part of the shared state.

// Loads the current section's surcharge, withholding and VAT defaults into the shared state.
void CaricaSezione();

// True when Sezioni holds exactly one row and its password is Null.
bool SezioneUnicaLibera();

// The single professional of the database, when it has no password; 0 otherwise.
std::int32_t SezioneUnicaSenzaPassword();
