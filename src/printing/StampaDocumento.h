#pragma once

#include "platform/report/Progress.h"
#include "platform/report/Report.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace report {
class ReportPreview;
}

// What the document editor and the report chooser call to print documents.
// Every failure is told to the user in an Italian message box (with the
// application title) and leaves no partial output; nothing here throws.

// The amount and quantity pattern both callers pass: zero prints blank.
inline const QString kFormatoStampa = QStringLiteral("#,##0.00;-#,##0.00; ");

// The editor's document query for one document (its client joined, its
// payment term left-joined).
QString SqlStampaDocumento(std::int32_t fatId);

// Runs the print engine and returns the prepared report (a report object of
// the caller's own), or nothing after a message; nothing and no message when
// `progress` (told of every document read) said stop.
std::optional<report::Report> StampaDocumento(std::int32_t sezId, std::int32_t docType, const QString& sConn,
                                              const QString& sSQL, const QString& sFmtImporti = kFormatoStampa,
                                              const QString& sFmtQuantita = kFormatoStampa,
                                              const report::ProgressHandler& progress = {});

// The Italian preview of a prepared report, shown modeless (deleted when
// closed); nullptr after a message when the report cannot be laid out.
report::ReportPreview* AnteprimaDocumento(const report::Report& rpt);
// Prints with the printer dialog; false when cancelled or after a message.
bool StampaReport(report::Report& rpt);
// Runs the report, asks for a ".pdf" file name and writes the PDF; false
// when the dialog was cancelled or after a message. A file that cannot be
// written is left as it was.
bool EsportaPdf(report::Report& rpt);

// The editor's three commands on a saved document, one call each: the
// session's current section and connection string, and the editor's
// query. The kind is the document's saved kind.
report::ReportPreview* AnteprimaFattura(std::int32_t fatId, std::int32_t fatTipo);
bool StampaFattura(std::int32_t fatId, std::int32_t fatTipo);
bool EsportaFatturaPdf(std::int32_t fatId, std::int32_t fatTipo);
