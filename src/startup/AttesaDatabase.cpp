#include "startup/AttesaDatabase.h"

#include "platform/database/Connection.h"
#include "platform/database/Types.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

namespace {

int gTentativoMs = 200;

std::unique_ptr<QWidget> finestraAttesa()
{
    auto w = std::make_unique<QWidget>(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                                                    | Qt::WindowTitleHint);
    w->setObjectName(QStringLiteral("frmAttesaDatabase"));
    w->setWindowTitle(AppTitle());
    auto* layout = new QVBoxLayout(w.get());
    auto* testo = new QLabel(QStringLiteral("Il database è in uso da un altro computer che sta salvando dei dati.\n"
                                            "Attendere: l'avvio prosegue appena il database è libero."),
                             w.get());
    testo->setObjectName(QStringLiteral("lblAttesa"));
    layout->addWidget(testo);
    w->setCursor(Qt::WaitCursor);
    w->show();
    w->raise();
    return w;
}

} // namespace

void ImpostaAttesaTentativo(int millisecondi)
{
    gTentativoMs = millisecondi;
}

bool IniziaScritturaAttendendo(db::Connection& cn, int limiteMs)
{
    // Short attempts, so the window can appear and repaint between them; the
    // connection's usual wait comes back once the lock is held (a commit may
    // still wait for a reader to finish).
    cn.setBusyWait(gTentativoMs);
    std::unique_ptr<QWidget> finestra;
    QElapsedTimer tempo;
    tempo.start();
    bool preso = false;
    for (;;) {
        try {
            cn.beginTrans();
            preso = true;
            break;
        } catch (const db::DbError& e) {
            if (e.kind() != db::ErrorKind::Busy) {
                cn.setBusyWait(db::Connection::busyTimeout());
                throw;
            }
        }
        if (tempo.elapsed() >= limiteMs)
            break;
        if (!finestra)
            finestra = finestraAttesa();
        QApplication::processEvents();
    }
    cn.setBusyWait(db::Connection::busyTimeout());
    return preso;
}
