#pragma once

// Brings any database to the current schema and writes the default data. Each
// routine reads the catalog first and runs only the statements whose change is
// missing, in one transaction, so an up-to-date file is only read at start and
// another machine's save never holds the start up unseen. What fails is ignored
// and tried again at the next start.

// Copies "logo.gen" of the program folder to "logo.bmp" when that is missing;
// a program folder that cannot be written leaves the start going on.
void VerificaLogo();
void AggiornaDb();
void CaricaUms();
void CreaTabelleFin();
// Stores the three default document layouts and assigns them to section 1.
// A layout file that is missing or unreadable is not stored (an empty layout
// would print blank pages); a later start that finds it stores it and assigns
// it to the kind still without a layout. Layouts of other names and no
// assignment at all: the first three layouts serve the three kinds, in order.
void CaricaModelli();
// Stores the default logo for section 1 when it wants a picture logo and has none.
void CaricaLogo();

// The layout files CaricaModelli reads, by document kind, with their names in the list.
struct ModelloPredefinito {
    const char* file;
    const char* nome;
};
const ModelloPredefinito* ModelliPredefiniti(int* count);

// The statements of AggiornaDb, in their order.
const char* const* StatementiAggiornaDb(int* count);
