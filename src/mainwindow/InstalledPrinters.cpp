#include "mainwindow/InstalledPrinters.h"

#include <QPrinterInfo>

namespace {
std::function<InstalledPrinters()>& source()
{
    static std::function<InstalledPrinters()> s;
    return s;
}
} // namespace

InstalledPrinters installedPrinters()
{
    if (source())
        return source()();
    InstalledPrinters result;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    for (const QPrinterInfo& info : printers)
        result.printers.append({info.printerName(), info.makeAndModel()});
    const QPrinterInfo byDefault = QPrinterInfo::defaultPrinter();
    if (!byDefault.isNull())
        result.defaultDeviceName = byDefault.printerName();
    return result;
}

void setInstalledPrintersSource(std::function<InstalledPrinters()> source)
{
    ::source() = std::move(source);
}
