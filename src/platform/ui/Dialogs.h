#pragma once

#include "platform/ui/DialogHandler.h"
#include "platform/ui/MsgBoxStyle.h"

#include <QList>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace ui {

// What the program calls. Each goes through dialogHandler().

// A message box; the title defaults to the application title. Returns the button pressed.
int msgBox(const QString& prompt, int style = vbOKOnly, const QString& title = {});
// An input box; the title defaults to the application title. Empty when cancelled.
QString inputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});
// File dialogs; empty when cancelled. The default extension is added to a name without one.
QString getOpenFileName(const FileDialogOptions& options);
QString getSaveFileName(const FileDialogOptions& options);
// The folder chooser: the chosen path, or "" when cancelled.
QString browseForFolder(const QString& title);
// Every form of the program shown modal goes through these.
int execModal(QDialog* dialog);
void showModal(QWidget* widget);

// The application title (QCoreApplication::applicationName(), "Corvessa" in the program).
QString applicationTitle();
// The results of the buttons a style shows, in order ({vbYes, vbNo} for vbYesNo).
QList<int> buttonsOf(int style);
// The answer of a box closed without a choice: Cancel when there is one, else
// No, else Abort, else OK.
int cancelAnswer(int style);
// "Acrobat reader (*.pdf)|*.pdf" -> {"Acrobat reader (*.pdf)"}, Qt's name filters.
QStringList qtNameFilters(const QString& filter);
// "report" + ".pdf" -> "report.pdf"; a name with an extension, or empty, is kept.
QString withDefaultExtension(const QString& path, const QString& defaultExt);

} // namespace ui
