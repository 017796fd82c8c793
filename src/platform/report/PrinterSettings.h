#pragma once

#include <QString>

namespace report {

// Where a report prints. Plain data kept with the report; the printer itself
// is reached only when printing (ReportPrinter).
struct PrinterSettings {
    // The printer's device name; empty means the system's default printer.
    QString deviceName;
    // When set, printing writes a PDF file there instead of using a device
    // (a print-to-file printer; also what tests use).
    QString outputFileName;
    int copies = 1;
    friend bool operator==(const PrinterSettings&, const PrinterSettings&) = default;
};

} // namespace report
