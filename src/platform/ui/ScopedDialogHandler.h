#pragma once

#include "platform/ui/DialogHandler.h"

namespace ui {

// Installs a dialog handler for its lifetime and restores the previous one.
class ScopedDialogHandler {
public:
    explicit ScopedDialogHandler(DialogHandler& handler);
    ~ScopedDialogHandler();
    ScopedDialogHandler(const ScopedDialogHandler&) = delete;
    ScopedDialogHandler& operator=(const ScopedDialogHandler&) = delete;

private:
    DialogHandler* m_previous;
};

} // namespace ui
