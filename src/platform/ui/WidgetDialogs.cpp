#include "platform/ui/WidgetDialogs.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/MsgBoxStyle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace ui {

namespace {

QWidget* ownerWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QString buttonText(int answer)
{
    switch (answer) {
    case vbOK: return QStringLiteral("OK");
    case vbCancel: return QStringLiteral("Annulla");
    case vbAbort: return QStringLiteral("Interrompi");
    case vbRetry: return QStringLiteral("Riprova");
    case vbIgnore: return QStringLiteral("Ignora");
    case vbYes: return QStringLiteral("Sì");
    case vbNo: return QStringLiteral("No");
    default: return {};
    }
}

QMessageBox::ButtonRole buttonRole(int answer)
{
    switch (answer) {
    case vbCancel:
    case vbAbort: return QMessageBox::RejectRole;
    case vbYes: return QMessageBox::YesRole;
    case vbNo: return QMessageBox::NoRole;
    default: return QMessageBox::AcceptRole;
    }
}

QMessageBox::Icon boxIcon(int style)
{
    switch (style & vbIconMask) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// Prompts are built with CR LF line breaks; Qt wants plain line feeds.
QString plainLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The window manager writes the title in the title bar beside its buttons and
// the program's icon, and cuts it short ("C... a") when the box is narrower:
// a short message keeps the box wide enough for its whole title. Qt's own
// allowance (the title in the box's font, plus 50 pixels) is less than a
// usual title bar takes.
void roomForTheTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont font = box.font();
    font.setBold(true);
    const int titleBar = 160; // the icon, three buttons and their margins
    int width = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + titleBar;
    if (const QScreen* screen = box.screen())
        width = std::min(width, screen->availableGeometry().width() * 9 / 10);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// Ends a local event loop when the watched widget is hidden by the program
// (a spontaneous hide, such as minimising, does not end it).
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* widget, QEventLoop* loop) : m_widget(widget), m_loop(loop) { widget->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Hide && !event->spontaneous())
            m_loop->quit();
        return false;
    }

private:
    QWidget* m_widget;
    QEventLoop* m_loop;
};

// Qt's file dialog reads double quotes in the typed name as around several
// names ("a" "b"): a save dialog given Incassi "2026".pdf would choose 2026.pdf,
// and in another folder. A name to save under is one name, taken as typed,
// in the folder the dialog shows.
class SaveFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const auto* box = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = box ? box->text() : QString();
        if (acceptMode() != AcceptSave || !typed.contains(QLatin1Char('"'))) {
            m_chosen.clear();
            QFileDialog::accept();
            return;
        }
        const QString path = withDefaultExtension(
            QDir::isAbsolutePath(typed) ? typed : directory().absoluteFilePath(typed), defaultSuffix());
        const QFileInfo info(path);
        if (info.isDir()) {
            setDirectory(path);
            return;
        }
        if (info.exists()
            && msgBox(QStringLiteral("%1 esiste già.\nSostituirlo?").arg(info.fileName()),
                      vbYesNo | vbExclamation | vbDefaultButton2, windowTitle())
                   != vbYes)
            return;
        m_chosen = path;
        QDialog::accept();
    }

    QString chosen() const
    {
        if (!m_chosen.isEmpty())
            return m_chosen;
        const QStringList files = selectedFiles();
        return files.isEmpty() ? QString() : files.first();
    }

private:
    QString m_chosen;
};

QString runFileDialog(const FileDialogOptions& options, bool save)
{
    SaveFileDialog dialog(ownerWindow(), options.title, options.initialDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = qtNameFilters(options.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    QString suffix = options.defaultExt.trimmed();
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return QDir::toNativeSeparators(dialog.chosen());
}

} // namespace

int WidgetDialogs::messageBox(const QString& prompt, int style, const QString& title)
{
    QMessageBox box(ownerWindow());
    // A box asked for without a title carries the program's name, as on the
    // platform the users come from, never an empty caption.
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    box.setText(plainLines(prompt));
    box.setIcon(boxIcon(style));

    QList<std::pair<QAbstractButton*, int>> buttons;
    for (int answer : buttonsOf(style))
        buttons.append({box.addButton(buttonText(answer), buttonRole(answer)), answer});

    const int defaultIndex = (style & vbDefaultMask) / vbDefaultButton2;
    if (defaultIndex < buttons.size())
        box.setDefaultButton(static_cast<QPushButton*>(buttons.at(defaultIndex).first));
    const int escape = cancelAnswer(style);
    for (const auto& [button, answer] : buttons)
        if (answer == escape)
            box.setEscapeButton(button);
    roomForTheTitle(box);

    box.exec();
    for (const auto& [button, answer] : buttons)
        if (box.clickedButton() == button)
            return answer;
    return escape;
}

QString WidgetDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(ownerWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    dialog.setLabelText(plainLines(prompt));
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString WidgetDialogs::openFileName(const FileDialogOptions& options)
{
    return runFileDialog(options, false);
}

QString WidgetDialogs::saveFileName(const FileDialogOptions& options)
{
    return runFileDialog(options, true);
}

QString WidgetDialogs::folder(const QString& title)
{
    const QString path = QFileDialog::getExistingDirectory(ownerWindow(), title, QString(),
                                                           QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    return QDir::toNativeSeparators(path);
}

int WidgetDialogs::execModal(QDialog* dialog)
{
    return dialog->exec();
}

void WidgetDialogs::showModal(QWidget* widget)
{
    if (auto* dialog = qobject_cast<QDialog*>(widget)) {
        dialog->exec();
        return;
    }
    // A plain form shown modal: block the other windows and wait, as a modal
    // form does, until it hides itself (or is destroyed).
    QPointer<QWidget> guard(widget);
    const Qt::WindowModality previous = widget->windowModality();
    const bool wasVisible = widget->isVisible();
    if (wasVisible)
        widget->hide(); // modality can only change while hidden
    widget->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    HideWatcher watcher(widget, &loop);
    QObject::connect(widget, &QObject::destroyed, &loop, &QEventLoop::quit);
    widget->show();
    if (guard && guard->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (guard) {
        guard->removeEventFilter(&watcher);
        if (!guard->isVisible())
            guard->setWindowModality(previous);
    }
}

} // namespace ui
