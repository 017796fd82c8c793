#include "platform/ui/ScopedDialogHandler.h"

namespace ui {

ScopedDialogHandler::ScopedDialogHandler(DialogHandler& handler) : m_previous(setDialogHandler(&handler)) {}

ScopedDialogHandler::~ScopedDialogHandler()
{
    setDialogHandler(m_previous);
}

} // namespace ui
