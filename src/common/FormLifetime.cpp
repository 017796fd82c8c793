#include "common/FormLifetime.h"

#include "platform/ui/CloseGuard.h"

namespace {
constexpr const char* kUnloaded = "corvessaUnloaded";
}

void RimuoviChiudi(QWidget* frm)
{
    ui::blockWindowClose(frm, true);
}

void unloadForm(QWidget* form)
{
    if (!form || isUnloaded(form))
        return;
    form->setProperty(kUnloaded, true);
    form->hide();
    form->deleteLater();
}

bool isUnloaded(const QWidget* form)
{
    return form && form->property(kUnloaded).toBool();
}
