#pragma once

#include "platform/ui/DialogHandler.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

class QDialog;
class QWidget;

namespace ui {

enum class DialogKind { MessageBox, InputBox, OpenFile, SaveFile, Folder, Modal };

// The dialog handler for tests: answers from scripted queues (one per kind, in
// order) and a log of every request. Install it with ScopedDialogHandler.
//
// A request with no scripted answer never blocks: it is logged with
// `unexpected` set, described in unexpected(), and given the answer of a
// cancelled dialog (cancelAnswer(style) for a message box, "" for input, file
// and folder, QDialog::Rejected for a modal window, which is never shown).
// A scripted message-box answer that is not one of the box's buttons is treated
// the same way. Tests should end with EXPECT_TRUE(dialogs.unexpected().isEmpty()).
//
// Modal windows: the scripted callback runs with the window shown (not modal,
// no event loop of its own), drives it with QTest events and normally ends by
// pressing the form's own button that hides it. If the window is still visible
// when the callback returns, the seam hides it (reject() for a QDialog), as if
// the user had dismissed it. A callback that needs the events of a real modal
// wait can call waitUntilHidden().
class ScriptedDialogs : public DialogHandler {
public:
    using ModalScript = std::function<void(QWidget*)>;

    struct Request {
        DialogKind kind = DialogKind::MessageBox;
        QString text;        // prompt; for a modal window its objectName
        QString title;       // resolved title; for a modal window its windowTitle
        int style = 0;       // message box style
        QString defaultText; // input box default
        QString filter;      // file dialogs
        QString defaultExt;  // file dialogs
        QString initialDir;  // file dialogs; the proposed name is in `text`
        QString answer;      // what was returned, as text
        bool unexpected = false;
    };

    ScriptedDialogs() = default;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Scripting, in the order the requests will come.
    ScriptedDialogs& answerMessageBox(int button);
    ScriptedDialogs& answerInput(const QString& text);
    ScriptedDialogs& answerOpenFile(const QString& path);
    ScriptedDialogs& answerSaveFile(const QString& path);
    ScriptedDialogs& answerFolder(const QString& path);
    ScriptedDialogs& answerModal(ModalScript script);

    const QList<Request>& requests() const { return m_requests; }
    QList<Request> requests(DialogKind kind) const;
    // The prompts of the message boxes shown, in order.
    QStringList messages() const;
    // One line per request that had no fitting scripted answer.
    const QStringList& unexpected() const { return m_unexpected; }
    // Scripted answers not used yet.
    int pendingAnswers() const;
    void clear();

    // Processes events until the widget is hidden or destroyed, at most timeoutMs.
    static bool waitUntilHidden(QWidget* widget, int timeoutMs = 5000);

    int messageBox(const QString& prompt, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileName(const FileDialogOptions& options) override;
    QString saveFileName(const FileDialogOptions& options) override;
    QString folder(const QString& title) override;
    int execModal(QDialog* dialog) override;
    void showModal(QWidget* widget) override;

private:
    QString fileAnswer(DialogKind kind, std::deque<QString>& queue, const FileDialogOptions& options);
    void runModal(QWidget* widget);
    void markUnexpected(Request& request, const QString& why);

    std::deque<int> m_buttons;
    std::deque<QString> m_inputs;
    std::deque<QString> m_openFiles;
    std::deque<QString> m_saveFiles;
    std::deque<QString> m_folders;
    std::deque<ModalScript> m_modals;
    QList<Request> m_requests;
    QStringList m_unexpected;
};

} // namespace ui
