#pragma once

#include "output/EsportaReport.h"
#include "output/comRepLib.h"

#include <QString>

namespace report {
class Report;
class ReportPreview;
}

// Where one run of a prepared report goes, and what it tells on the way.
struct UscitaReport {
    int modo = kModoStampa;        // ModoStampa: the printer, a preview or an export
    QString stampante;             // the device to print on; empty: the report's own
    bool dialogoStampante = false; // printing shows the printer dialog first
    QString nomeAnteprima;         // the preview window's object name
    QString nessunDato;            // told when the run gives no rows; empty: no check
    // The progress window already standing (the caller read its data under
    // it); none: the run opens its own.
    Avanzamento* avanzamento = nullptr;
};

struct EsitoReport {
    bool riuscito = false;
    report::ReportPreview* anteprima = nullptr; // a preview run's window (deleted when closed)
};

// Every report run passes through here once: it directs the report to the
// printer, runs it, and sends the pages to the printer, to a modeless preview
// or to an export file chosen through the save dialog. The progress window
// stands from the run to the last page written; its "Annulla" ends the run
// quietly with nothing printed, shown or written. Failures of the printer and
// of the export are told in Italian message boxes; a failure of the run
// itself (the query, the layout) reaches the caller, who frames it.
// Not riuscito after "Annulla", a cancelled dialog, no rows or a message.
EsitoReport ProduciReport(report::Report& rpt, const UscitaReport& uscita);
