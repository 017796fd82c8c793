#include "common/MainWindowLink.h"

namespace {
MainWindowLink* gLink = nullptr;
}

void registerMainWindow(MainWindowLink* link)
{
    gLink = link;
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
