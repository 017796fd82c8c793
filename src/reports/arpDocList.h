#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportLayout.h"

// "Lista Documenti": the documents of one kind in a date range, one line
// each with date, number, client and the four totals, and the grand totals.
// Its data control receives the connection and the query at run time.
class arpDocList {
public:
    static inline const QString kNome = QStringLiteral("arpDocList");

    static report::ReportLayout Struttura();
    // A new report object. With ModoEsporta it prints as a flat table for export.
    static report::Report Nuovo(bool ModoEsporta = false);
};
