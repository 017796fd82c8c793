#pragma once

#include "platform/report/Progress.h"

#include <QString>

namespace report {
class Report;
}

// Writes the pages of a report that has run to `file` with the export filter
// of class `classId`. The file is written beside its target and renamed over
// it in one step once complete, so a failure leaves no partial file and an
// existing file as it was. Throws core::Error, naming the chosen file and
// never the one written aside, or what the filter throws. `progress` is told
// of every page; when it says stop, report::Cancelled comes out and no file
// is left behind.
void EsportaPagine(const report::Report& rpt, const QString& classId, const QString& file,
                   const report::ProgressHandler& progress = {});
