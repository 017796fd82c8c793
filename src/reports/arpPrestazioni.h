#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportLayout.h"

// "Listino Prestazioni": the services of the price list grouped by client;
// the services tied to no client form the group "(Prestazioni non associate)".
class arpPrestazioni {
public:
    static inline const QString kNome = QStringLiteral("arpPrestazioni");
    static inline const QString kNonAssociate = QStringLiteral("(Prestazioni non associate)");

    static report::ReportLayout Struttura();
    static report::Report Nuovo();
};
