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

void DocumentSavedInMainWindow(std::int32_t id)
{
    if (gLink)
        gLink->DocumentSaved(id);
}

QWidget* MainWindowWidget()
{
    return gLink ? gLink->widget() : nullptr;
}
