#pragma once

#include "platform/core/Variant.h"

namespace report {
class Report;
}

// Adapts the report's preview toolbar to the Italian interface; with `Esporta`
// it adds the two export tools, which the caller handles.
void ImpostaViewer(report::Report& rpt, bool Esporta);

// Loads the report and directs it to the printer of that device name.
void ImpostaStampante(report::Report& rpt, const core::Variant& NomeStampante);

// Paginates the report with the progress window on screen, then prints it.
// "Annulla" stops the pagination and nothing reaches the printer: the result
// is false then. A printer that fails raises its error to the caller.
bool StampaConAvanzamento(report::Report& rpt);
// The pagination part alone, for a caller that looks at the pages before it
// prints them: false after "Annulla" (the report is unloaded then). Errors of
// the run reach the caller.
bool ImpaginaConAvanzamento(report::Report& rpt);

// The indexes of the two tools ImpostaViewer adds with Esporta.
int IndiceStrumentoEsportaExcel(const report::Report& rpt);
int IndiceStrumentoEsportaPdf(const report::Report& rpt);
