#pragma once

#include "platform/database/Recordset.h"
#include "platform/report/Report.h"
#include "platform/report/ReportLayout.h"

#include <QString>

// The document report: a report without a data source of its own, fed row by
// row from the print rows of the print engine. Every print, preview and
// designer window works on a report object of its own (a value), made here.
//
// Its design has the group header "Testa" (grouped on "fatId": each document
// of a batch is a group, starting on a new page and repeating its heading on
// every page it runs onto), the detail "Dettaglio" (one band per print row)
// and the group footer "Calce" closing each document, plus a page footer.
class finarpFatBase {
public:
    static inline const QString kTesta = QStringLiteral("Testa");
    static inline const QString kDettaglio = QStringLiteral("Dettaglio");
    static inline const QString kCalce = QStringLiteral("Calce");
    static inline const QString kPiePagina = QStringLiteral("PiePagina");

    // The bands of the document report on an A4 page, without controls.
    static report::ReportLayout Struttura();

    // A new document report: caption "Documento" and the bare design.
    static report::Report Nuovo();

    // Gives the report its rows: a clone of `rs` (its own position, so the
    // report keeps working after the engine is gone) and one report field per
    // column, in column order. Each run starts again from the first row.
    static void Apri(report::Report& rpt, const db::Recordset& rs);
};
