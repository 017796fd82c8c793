#pragma once

#include <QString>

class QWidget;

// The start-up sequence: key paths, database folder, connection, template
// recovery, schema upgrade and default data, the professional, the main window.
// Returns when the main window is shown, or when the start was abandoned
// (then no window is open and the program ends).
void Main();

// Loads the current section's surcharge, withholding and VAT defaults into the shared state.
void CaricaSezione();

// True when Sezioni holds exactly one row and its password is Null.
bool SezioneUnicaLibera();

// The default database folder, created when missing.
QString CartellaDbPredefinita();

// Leaves the form without a working close button: the title-bar button,
// Alt+F4 and the window manager's close are refused; the form closes only
// through its own buttons.
void RimuoviChiudi(QWidget* frm);
