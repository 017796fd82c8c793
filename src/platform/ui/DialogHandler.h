#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace ui {

// A file dialog request. The filter is written in the form
// "Description (*.ext)|*.ext|Other (*.a;*.b)|*.a;*.b"; the default extension
// (".pdf" or "pdf") is added to a chosen name that has none.
struct FileDialogOptions {
    QString title{};
    QString filter{};
    QString defaultExt{};
    QString initialDir{};
    QString fileName{}; // proposed name
};

// The one seam every message box, input box, file or folder dialog and modal
// window goes through. The program uses the real implementation; tests install
// a ScriptedDialogs so no test ever blocks on a window.
// Titles reach the handler already resolved (empty means the application title).
class DialogHandler {
public:
    virtual ~DialogHandler() = default;

    // The button pressed (vbOK ... vbNo).
    virtual int messageBox(const QString& prompt, int style, const QString& title) = 0;
    // The typed text, empty when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    // The chosen path, empty when cancelled.
    virtual QString openFileName(const FileDialogOptions& options) = 0;
    virtual QString saveFileName(const FileDialogOptions& options) = 0;
    virtual QString folder(const QString& title) = 0;
    // Returns once the window is hidden; the dialog's result code.
    virtual int execModal(QDialog* dialog) = 0;
    // Returns once the widget is hidden or destroyed.
    virtual void showModal(QWidget* widget) = 0;
};

// The handler in force: the installed one, else the real one.
DialogHandler& dialogHandler();
// Installs a handler (nullptr: back to the real one); returns the previous one
// (nullptr when it was the real one). Prefer ScopedDialogHandler.
DialogHandler* setDialogHandler(DialogHandler* handler);

} // namespace ui
