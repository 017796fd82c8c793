#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportLayout.h"

// The client register ("Clienti"): name, address, VAT number and tax code of
// every client, one line each. Title and caption are set by the caller.
class arpCliFor2 {
public:
    static inline const QString kNome = QStringLiteral("arpCliFor2");

    static report::ReportLayout Struttura();
    // With ModoEsporta it prints as a flat table for export.
    static report::Report Nuovo(bool ModoEsporta = false);
};
