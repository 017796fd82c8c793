#pragma once

// Brings any database to the current schema and writes the default data. Each
// routine runs its statements one by one and ignores what fails (an object that
// exists already), so every start may run them all again.

void AggiornaDb();
void CaricaUms();
void CreaTabelleFin();

// The statements of AggiornaDb, in their order.
const char* const* StatementiAggiornaDb(int* count);
