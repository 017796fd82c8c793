#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportLayout.h"

// The client address book ("Rubrica"): name, town and phone numbers, grouped
// by the initial of the name, each group headed by its letter. Title and
// caption are set by the caller.
class arpCliFor {
public:
    static inline const QString kNome = QStringLiteral("arpCliFor");
    static inline const QString kGruppo = QStringLiteral("ghOrderGroup");

    static report::ReportLayout Struttura();
    static report::Report Nuovo();
};
