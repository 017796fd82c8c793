#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportLayout.h"

// "Incassi": the invoices of each client with the net amount due, what was
// collected and what is left to collect, with sums per client and in total.
class arpIncassi {
public:
    static inline const QString kNome = QStringLiteral("arpIncassi");

    static report::ReportLayout Struttura();
    // With ModoEsporta it prints as a flat table for export.
    static report::Report Nuovo(bool ModoEsporta = false);
};
