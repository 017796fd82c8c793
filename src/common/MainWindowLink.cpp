#include "common/MainWindowLink.h"

namespace {
MainWindowLink* gLink = nullptr;
}

void registerMainWindow(MainWindowLink* link)
{
    gLink = link;
}

void unregisterMainWindow(MainWindowLink* link)
{
    if (gLink == link)
        gLink = nullptr;
}

void RefreshMainWindow()
{
    if (gLink)
        gLink->SetLay();
}

QWidget* MainWindowWidget()
{
    return gLink ? gLink->widget() : nullptr;
}
