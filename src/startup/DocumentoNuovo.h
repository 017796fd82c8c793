#pragma once

#include <cstdint>

// The new document each copy of the program on this machine has open in the
// editor, kept in the settings from the moment its id is taken (before its
// header row is written) until it is saved or cancelled, so that a start after
// a crash or a kill can remove the blank row left behind.

// Remembers this copy's document (with the database file it belongs to).
void RicordaDocumentoNuovo(std::int32_t fatId);
// Forgets it, when it is the one remembered.
void DimenticaDocumentoNuovo(std::int32_t fatId);
// This copy's document remembered for the current database file; 0 when none.
std::int32_t DocumentoNuovoRicordato();
// At start: each document remembered for this database by a copy of the
// program no longer running, when it is still never saved (no lines, no
// client), is deleted with its dependants in one transaction; then it is
// forgotten. A database file that cannot be written now keeps it remembered
// for the next start. Never raises.
void EliminaDocumentoNuovoRimasto();
