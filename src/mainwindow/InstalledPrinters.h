#pragma once

#include <QString>
#include <QVector>
#include <functional>

// The printers the platform reports, in its order, and the name of the
// default one (empty when there is none).
struct InstalledPrinter {
    QString deviceName;
    QString driverName;
};

struct InstalledPrinters {
    QVector<InstalledPrinter> printers;
    QString defaultDeviceName;
};

// The installed printers as the print system reports them now; the driver is
// the printer's make and model, the nearest thing the print system names.
InstalledPrinters installedPrinters();

// Replaces the print system as the source of installedPrinters(), for machines
// whose printers must be known in advance (tests); an empty function restores it.
void setInstalledPrintersSource(std::function<InstalledPrinters()> source);
