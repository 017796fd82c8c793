#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportLayout.h"

// "Totali per Cliente" (caption "Fatturato"): per client, the VAT summary of
// its documents summed per VAT code, the client's sums and the grand totals.
class arpCliFor3 {
public:
    static inline const QString kNome = QStringLiteral("arpCliFor3");

    static report::ReportLayout Struttura();
    static report::Report Nuovo();
};
