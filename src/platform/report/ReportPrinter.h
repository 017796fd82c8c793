#pragma once

#include "platform/report/Progress.h"
#include "platform/report/ReportPage.h"

#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;

namespace report {

class Report;

// Prints a report's pages on its printer (PrinterSettings: a device by name,
// or a PDF file). The printer dialog goes through a replaceable function so
// tests and headless runs never block on it.
class ReportPrinter {
public:
    // Shows the printer dialog for the printer; false when the user cancelled.
    using PrintDialogHandler = std::function<bool(QPrinter&)>;
    // A null handler restores the platform's printer dialog.
    static void setPrintDialogHandler(PrintDialogHandler handler);

    // Stands in for the print system (tests, a machine without one): every
    // print to a device goes to the handler with the pages and the device
    // name it was meant for ("" for the default printer), and no device is
    // looked up. Prints to a file (PrinterSettings::outputFileName) are not
    // affected. A null handler restores the platform's printers.
    using PrintOutputHandler = std::function<void(const ReportPages& pages, const QString& deviceName)>;
    static void setPrintOutputHandler(PrintOutputHandler handler);

    // Runs the report when it has no pages yet, then prints them. Returns false
    // when the dialog was cancelled (nothing printed). Throws core::Error when
    // the printer cannot be used.
    static bool print(Report& report, bool showDialog);
    // `progress` is told of every page (it cannot stop a job that has begun).
    static void printPages(const ReportPages& pages, QPrinter& printer, const ProgressHandler& progress = {});

    static QStringList printerNames();
    static bool printerExists(const QString& deviceName);
    static QString defaultPrinterName();
};

} // namespace report
