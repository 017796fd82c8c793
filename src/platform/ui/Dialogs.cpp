#include "platform/ui/Dialogs.h"

#include "platform/ui/WidgetDialogs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

namespace ui {

namespace {

DialogHandler* g_installed = nullptr;

DialogHandler& realHandler()
{
    static WidgetDialogs real;
    return real;
}

QString titleOrApplication(const QString& title)
{
    return title.isEmpty() ? applicationTitle() : title;
}

} // namespace

DialogHandler& dialogHandler()
{
    return g_installed ? *g_installed : realHandler();
}

DialogHandler* setDialogHandler(DialogHandler* handler)
{
    DialogHandler* previous = g_installed;
    g_installed = handler;
    return previous;
}

int msgBox(const QString& prompt, int style, const QString& title)
{
    return dialogHandler().messageBox(prompt, style, titleOrApplication(title));
}

QString inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    return dialogHandler().inputBox(prompt, titleOrApplication(title), defaultText);
}

QString getOpenFileName(const FileDialogOptions& options)
{
    return dialogHandler().openFileName(options);
}

QString getSaveFileName(const FileDialogOptions& options)
{
    return withDefaultExtension(dialogHandler().saveFileName(options), options.defaultExt);
}

QString browseForFolder(const QString& title)
{
    return dialogHandler().folder(title);
}

int execModal(QDialog* dialog)
{
    return dialog ? dialogHandler().execModal(dialog) : 0;
}

void showModal(QWidget* widget)
{
    if (widget)
        dialogHandler().showModal(widget);
}

QString applicationTitle()
{
    return QCoreApplication::applicationName();
}

QList<int> buttonsOf(int style)
{
    switch (style & vbButtonsMask) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    case vbRetryCancel: return {vbRetry, vbCancel};
    default: return {vbOK};
    }
}

int cancelAnswer(int style)
{
    const QList<int> buttons = buttonsOf(style);
    for (int answer : {vbCancel, vbNo, vbAbort})
        if (buttons.contains(answer))
            return answer;
    return vbOK;
}

QStringList qtNameFilters(const QString& filter)
{
    static const QRegularExpression kTrailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (filter.trimmed().isEmpty())
        return result;
    for (int i = 0; i < parts.size(); i += 2) {
        QString description = parts.at(i);
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QStringLiteral("*");
        if (patterns.isEmpty())
            patterns = QStringLiteral("*");
        // Qt reads the patterns from the last parentheses, so the description keeps
        // its words and the patterns of the filter replace whatever it showed.
        description.remove(kTrailingPatterns);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << description.trimmed() + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
    }
    return result;
}

QString withDefaultExtension(const QString& path, const QString& defaultExt)
{
    QString ext = defaultExt.trimmed();
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    if (path.isEmpty() || ext.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + ext;
}

} // namespace ui
