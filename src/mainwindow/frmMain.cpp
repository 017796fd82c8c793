#include "mainwindow/frmMain.h"

#include "startup/Main.h"
#include "startup/SharedState.h"

#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QPointer>

namespace {
QPointer<frmMain> gInstance;
}

frmMain* frmMain::instance()
{
    if (!gInstance)
        gInstance = new frmMain();
    return gInstance;
}

bool frmMain::exists()
{
    return !gInstance.isNull();
}

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(AppTitle());
    setMinimumSize(640, 480);
    ImpostaDataLavoro(QDate::currentDate());
}

void frmMain::Visualizza()
{
    frmMain* f = instance();
    SetLay();
    f->show();
}

void frmMain::SetLay()
{
    // A refresh that arrives after the window closed has nothing to refresh.
    if (!exists())
        return;
    CaricaSezione();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
}
