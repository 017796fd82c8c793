#pragma once

#include "platform/ui/DialogHandler.h"

namespace ui {

// The real dialogs: Qt message, input and file dialogs, with Italian button
// texts set explicitly so they do not depend on the translator loaded. File and
// folder dialogs are Qt's own widgets (not the desktop's), so they follow the
// Italian translation loaded by setupItalian.
class WidgetDialogs : public DialogHandler {
public:
    int messageBox(const QString& prompt, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileName(const FileDialogOptions& options) override;
    QString saveFileName(const FileDialogOptions& options) override;
    QString folder(const QString& title) override;
    int execModal(QDialog* dialog) override;
    void showModal(QWidget* widget) override;
};

} // namespace ui
