#include "platform/report/ReportPrinter.h"

#include "platform/report/PageBuffers.h"
#include "platform/report/PagePainter.h"
#include "platform/report/Report.h"
#include "platform/report/ReportError.h"
#include "platform/ui/Dialogs.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace report {

namespace {

ReportPrinter::PrintDialogHandler& dialogHandler()
{
    static ReportPrinter::PrintDialogHandler handler;
    return handler;
}

ReportPrinter::PrintOutputHandler& outputHandler()
{
    static ReportPrinter::PrintOutputHandler handler;
    return handler;
}

bool platformDialog(QPrinter& printer)
{
    // Through the program's dialog seam, like every modal window, so no test blocks on it.
    QPrintDialog dialog(&printer);
    return ui::execModal(&dialog) == QDialog::Accepted;
}

QPageLayout layoutOf(const ReportPage& page)
{
    return QPageLayout(QPageSize(QSizeF(page.width / 20.0, page.height / 20.0), QPageSize::Point, QString(),
                                 QPageSize::FuzzyMatch),
                       QPageLayout::Portrait, QMarginsF());
}

} // namespace

void ReportPrinter::setPrintDialogHandler(PrintDialogHandler handler)
{
    dialogHandler() = std::move(handler);
}

void ReportPrinter::setPrintOutputHandler(PrintOutputHandler handler)
{
    outputHandler() = std::move(handler);
}

bool ReportPrinter::print(Report& report, bool showDialog)
{
    if (!report.hasRun())
        report.run();
    const PrinterSettings& settings = report.printer();
    const bool toFile = !settings.outputFileName.isEmpty();
    const auto& output = outputHandler();
    QPrinter printer(QPrinter::HighResolution);
    if (toFile) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(settings.outputFileName);
    } else if (!output && !settings.deviceName.isEmpty()) {
        if (!printerExists(settings.deviceName))
            raiseError(ErrorNumber::PrintFailed, QStringLiteral("La stampante '%1' non esiste").arg(settings.deviceName));
        printer.setPrinterName(settings.deviceName);
    }
    printer.setDocName(report.pages().title);
    printer.setCopyCount(std::max(1, settings.copies));
    printer.setFullPage(true);
    if (!report.pages().isEmpty())
        printer.setPageLayout(layoutOf(report.pages().page(0)));
    if (showDialog) {
        const auto& handler = dialogHandler();
        if (!(handler ? handler(printer) : platformDialog(printer)))
            return false;
    }
    if (output && !toFile)
        // A printer chosen in the dialog counts; else the report's own.
        output(report.pages(), showDialog && !printer.printerName().isEmpty() ? printer.printerName() : settings.deviceName);
    else
        printPages(report.pages(), printer, report.progressHandler());
    return true;
}

void ReportPrinter::printPages(const ReportPages& pages, QPrinter& printer, const ProgressHandler& progress)
{
    const PageBuffersKept buffers;
    QPainter painter;
    PaintCache cache;
    if (!painter.begin(&printer))
        raiseError(ErrorNumber::PrintFailed, QStringLiteral("Impossibile stampare su '%1'").arg(printer.printerName()));
    const double scale = printer.resolution() / 1440.0;
    for (int i = 0; i < pages.count(); ++i) {
        // Told for its window's sake only: the print engines here cannot drop
        // a job once it has begun, so a stop is not heard.
        if (progress)
            progress({Progress::Stage::Writing, 0, i + 1, pages.count()});
        if (i > 0) {
            printer.setPageLayout(layoutOf(pages.page(i)));
            printer.newPage();
        }
        painter.save();
        painter.scale(scale, scale);
        paintPage(painter, pages.page(i), &cache);
        painter.restore();
    }
    painter.end();
}

QStringList ReportPrinter::printerNames()
{
    return QPrinterInfo::availablePrinterNames();
}

bool ReportPrinter::printerExists(const QString& deviceName)
{
    return printerNames().contains(deviceName);
}

QString ReportPrinter::defaultPrinterName()
{
    return QPrinterInfo::defaultPrinterName();
}

} // namespace report
