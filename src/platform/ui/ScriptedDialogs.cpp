#include "platform/ui/ScriptedDialogs.h"

#include "platform/ui/Dialogs.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QThread>
#include <QWidget>

namespace ui {

namespace {

QString kindName(DialogKind kind)
{
    switch (kind) {
    case DialogKind::MessageBox: return QStringLiteral("message box");
    case DialogKind::InputBox: return QStringLiteral("input box");
    case DialogKind::OpenFile: return QStringLiteral("open-file dialog");
    case DialogKind::SaveFile: return QStringLiteral("save-file dialog");
    case DialogKind::Folder: return QStringLiteral("folder chooser");
    case DialogKind::Modal: return QStringLiteral("modal window");
    }
    return {};
}

ScriptedDialogs::Request makeRequest(DialogKind kind, const QString& text, const QString& title, int style = 0)
{
    ScriptedDialogs::Request request;
    request.kind = kind;
    request.text = text;
    request.title = title;
    request.style = style;
    return request;
}

} // namespace

ScriptedDialogs& ScriptedDialogs::answerMessageBox(int button)
{
    m_buttons.push_back(button);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerInput(const QString& text)
{
    m_inputs.push_back(text);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerOpenFile(const QString& path)
{
    m_openFiles.push_back(path);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerSaveFile(const QString& path)
{
    m_saveFiles.push_back(path);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerFolder(const QString& path)
{
    m_folders.push_back(path);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerModal(ModalScript script)
{
    m_modals.push_back(std::move(script));
    return *this;
}

QList<ScriptedDialogs::Request> ScriptedDialogs::requests(DialogKind kind) const
{
    QList<Request> result;
    for (const Request& r : m_requests)
        if (r.kind == kind)
            result.append(r);
    return result;
}

QStringList ScriptedDialogs::messages() const
{
    QStringList result;
    for (const Request& r : m_requests)
        if (r.kind == DialogKind::MessageBox)
            result << r.text;
    return result;
}

int ScriptedDialogs::pendingAnswers() const
{
    return static_cast<int>(m_buttons.size() + m_inputs.size() + m_openFiles.size() + m_saveFiles.size()
                            + m_folders.size() + m_modals.size());
}

void ScriptedDialogs::clear()
{
    m_buttons.clear();
    m_inputs.clear();
    m_openFiles.clear();
    m_saveFiles.clear();
    m_folders.clear();
    m_modals.clear();
    m_requests.clear();
    m_unexpected.clear();
}

void ScriptedDialogs::markUnexpected(Request& request, const QString& why)
{
    request.unexpected = true;
    m_unexpected << kindName(request.kind) + QStringLiteral(" \"") + request.text + QStringLiteral("\": ") + why;
}

int ScriptedDialogs::messageBox(const QString& prompt, int style, const QString& title)
{
    Request request = makeRequest(DialogKind::MessageBox, prompt, title, style);
    int answer = cancelAnswer(style);
    if (m_buttons.empty()) {
        markUnexpected(request, QStringLiteral("no scripted answer"));
    } else {
        const int scripted = m_buttons.front();
        m_buttons.pop_front();
        if (buttonsOf(style).contains(scripted))
            answer = scripted;
        else
            markUnexpected(request, QStringLiteral("scripted button %1 is not offered by style %2").arg(scripted).arg(style));
    }
    request.answer = QString::number(answer);
    m_requests.append(request);
    return answer;
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    Request request = makeRequest(DialogKind::InputBox, prompt, title);
    request.defaultText = defaultText;
    QString answer;
    if (m_inputs.empty()) {
        markUnexpected(request, QStringLiteral("no scripted answer"));
    } else {
        answer = m_inputs.front();
        m_inputs.pop_front();
    }
    request.answer = answer;
    m_requests.append(request);
    return answer;
}

QString ScriptedDialogs::fileAnswer(DialogKind kind, std::deque<QString>& queue, const FileDialogOptions& options)
{
    Request request = makeRequest(kind, options.fileName, options.title);
    request.filter = options.filter;
    request.defaultExt = options.defaultExt;
    request.initialDir = options.initialDir;
    QString answer;
    if (queue.empty()) {
        markUnexpected(request, QStringLiteral("no scripted answer"));
    } else {
        answer = queue.front();
        queue.pop_front();
    }
    request.answer = answer;
    m_requests.append(request);
    return answer;
}

QString ScriptedDialogs::openFileName(const FileDialogOptions& options)
{
    return fileAnswer(DialogKind::OpenFile, m_openFiles, options);
}

QString ScriptedDialogs::saveFileName(const FileDialogOptions& options)
{
    return fileAnswer(DialogKind::SaveFile, m_saveFiles, options);
}

QString ScriptedDialogs::folder(const QString& title)
{
    Request request = makeRequest(DialogKind::Folder, title, title);
    QString answer;
    if (m_folders.empty()) {
        markUnexpected(request, QStringLiteral("no scripted answer"));
    } else {
        answer = m_folders.front();
        m_folders.pop_front();
    }
    request.answer = answer;
    m_requests.append(request);
    return answer;
}

void ScriptedDialogs::runModal(QWidget* widget)
{
    Request request = makeRequest(DialogKind::Modal, widget->objectName(), widget->windowTitle());
    if (m_modals.empty()) {
        markUnexpected(request, QStringLiteral("no scripted answer"));
        m_requests.append(request);
        return;
    }
    ModalScript script = std::move(m_modals.front());
    m_modals.pop_front();
    m_requests.append(request); // logged first, so requests made by the script follow it

    QPointer<QWidget> guard(widget);
    widget->show();
    widget->activateWindow();
    widget->raise();
    QCoreApplication::processEvents();
    if (script)
        script(widget);
    if (guard && guard->isVisible()) {
        if (auto* dialog = qobject_cast<QDialog*>(guard.data()))
            dialog->reject();
        else
            guard->hide();
    }
}

int ScriptedDialogs::execModal(QDialog* dialog)
{
    QPointer<QDialog> guard(dialog);
    dialog->setResult(QDialog::Rejected);
    runModal(dialog);
    return guard ? guard->result() : QDialog::Rejected;
}

void ScriptedDialogs::showModal(QWidget* widget)
{
    if (auto* dialog = qobject_cast<QDialog*>(widget)) {
        execModal(dialog);
        return;
    }
    runModal(widget);
}

bool ScriptedDialogs::waitUntilHidden(QWidget* widget, int timeoutMs)
{
    QPointer<QWidget> guard(widget);
    QDeadlineTimer deadline(timeoutMs);
    while (guard && guard->isVisible()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(5);
    }
    return true;
}

} // namespace ui
