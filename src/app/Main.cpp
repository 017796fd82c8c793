#include "app/Main.h"

#include "common/comUtility.h"
#include "common/comRegistry.h"
#include "common/frmForFolders.h"
#include "mainwindow/frmMain.h"
#include "platform/database/Connection.h"
#include "platform/ui/Dialogs.h"
#include "sections/frmAdminPass.h"
#include "startup/DatabaseFile.h"
#include "startup/DocumentoNuovo.h"
#include "startup/SchemaUpgrade.h"
#include "startup/Section.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QStyle>

namespace {


void messaggioCritico(const QString& testo)
{
    ui::msgBox(testo, ui::vbCritical, AppTitle());
}

// The start ends over the database file: what is wrong, the file's path, what
// to do about it (when there is advice), and that the program will not start.
void fermaSulFile(const QString& problema, const QString& consiglio = {})
{
    QString testo = problema + kCrLf + PercorsoDatabase() + kCrLf;
    if (!consiglio.isEmpty())
        testo += consiglio + kCrLf;
    messaggioCritico(testo + QStringLiteral("L'applicazione non verrà avviata."));
}

// Twips per pixel across, from the screen's logical resolution (1440 twips an inch).
float twipsPerPixelX()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return static_cast<float>(1440.0 / (dpi > 0 ? dpi : 96.0));
}

// Opens the database, recovering it from the template when it is missing or
// damaged. False when the start must end (every message already shown).
bool ApriDatabase(const QString& connessione)
{
    StatoDatabase stato = VerificaDatabase(connessione);
    if (stato == StatoDatabase::Apribile)
        return true;

    if (stato == StatoDatabase::Occupato) {
        // Another machine is working on the file: it must never be touched.
        messaggioCritico(QStringLiteral("Il database è in uso esclusivo da un altro utente o computer.") + kCrLf
                         + QStringLiteral("Riprovare più tardi. L'applicazione non verrà avviata."));
        return false;
    }
    if (stato == StatoDatabase::Irraggiungibile) {
        fermaSulFile(QStringLiteral("Impossibile aprire il file del database:"));
        frmForFolders::Apri(session().regKeySettings, AppTitle());
        return false;
    }
    if (stato == StatoDatabase::Cartella) {
        fermaSulFile(QStringLiteral("Al posto del file del database c'è una cartella con lo stesso nome:"),
                     QStringLiteral("Rinominare o spostare la cartella, oppure scegliere un'altra cartella del database."));
        frmForFolders::Apri(session().regKeySettings, AppTitle());
        return false;
    }
    if (stato == StatoDatabase::CollegamentoInterrotto) {
        fermaSulFile(QStringLiteral("Il file del database è un collegamento a un file che non esiste:"),
                     QStringLiteral("Il collegamento punta a ") + QDir::toNativeSeparators(QFileInfo(PercorsoDatabase()).symLinkTarget())
                         + QStringLiteral(". Rendere di nuovo raggiungibile quel file (un'unità di rete da collegare, una cartella "
                                          "spostata), oppure scegliere un'altra cartella del database."));
        frmForFolders::Apri(session().regKeySettings, AppTitle());
        return false;
    }
    if (stato == StatoDatabase::GiornaleSuSolaLettura) {
        // The journal holds what undoes a write cut short: deleting it would
        // leave the file half written.
        fermaSulFile(QStringLiteral("Il file del database è di sola lettura e accanto c'è il giornale di una scrittura "
                                    "non conclusa, che va annullata prima di leggere i dati:"),
                     QStringLiteral("Dare il permesso di scrittura al file e alla sua cartella, poi avviare di nuovo il "
                                    "programma. Non cancellare il file ")
                         + QFileInfo(PercorsoDatabase()).fileName() + QStringLiteral("-journal."));
        return false;
    }
    if (stato == StatoDatabase::NonLeggibile) {
        fermaSulFile(QStringLiteral("Non si dispone dell'autorizzazione a leggere il file del database:"),
                     QStringLiteral("Chiedere all'amministratore del computer il permesso di lettura e scrittura del file."));
        return false;
    }
    if (stato == StatoDatabase::Danneggiato && db::Connection::isInUse(PercorsoDatabase())) {
        // Another machine has it open: renaming it under its feet would send that
        // machine's work into the damaged copy. It is left exactly as it is.
        fermaSulFile(QStringLiteral("Il file del database è danneggiato ed è in uso da un altro computer:"),
                     QStringLiteral("Il file non è stato modificato. Chiudere il programma sugli altri computer e "
                                    "riavviarlo per recuperare il database."));
        return false;
    }
    if (stato == StatoDatabase::Danneggiato) {
        // Kept under another name, never deleted: the user may still want it back.
        const QString accantonato = AccantonaDatabase(PercorsoDatabase());
        if (accantonato.isEmpty()) {
            fermaSulFile(QStringLiteral("Il file del database non è leggibile e non è stato possibile rinominarlo:"));
            return false;
        }
        ui::msgBox(QStringLiteral("Il file del database non è leggibile o è danneggiato.") + kCrLf
                       + QStringLiteral("È stato conservato con il nome:") + kCrLf + accantonato + kCrLf
                       + QStringLiteral("Verrà creato un nuovo database dal modello."),
                   ui::vbExclamation, AppTitle());
    }

    bool messaggioMostrato = false;
    const bool copiato = RipristinaMaster(&messaggioMostrato);
    if (copiato && VerificaDatabase(connessione) == StatoDatabase::Apribile)
        return true;
    if (copiato)
        messaggioCritico(QStringLiteral("Database assente o danneggiato") + kCrLf + QStringLiteral("L'applicazione non verrà avviata."));
    else if (!messaggioMostrato)
        messaggioCritico(QStringLiteral("File di sistema assente") + kCrLf + QStringLiteral("L'applicazione non verrà avviata."));
    frmForFolders::Apri(session().regKeySettings, AppTitle());
    return false;
}

} // namespace

void Main()
{
    // 1. Registry key paths, from the application title.
    session().regKeySettings = QStringLiteral("Software\\Vantrel\\") + AppTitle() + QStringLiteral("\\Settings");
    session().regKeySettings2 = session().regKeySettings;
    session().regKeyPrinters = QStringLiteral("Software\\Vantrel\\") + AppTitle() + QStringLiteral("\\Printers");

    // 2-3. The database folder: the registry's, or the default one.
    session().cartellaDbPredefinita = CartellaDbPredefinita();
    session().cartellaDb = LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, QStringLiteral("appset_curdb"),
                                core::Variant(session().cartellaDbPredefinita))
                      .toString();
    while (session().cartellaDb.size() > 1 && (session().cartellaDb.endsWith(QLatin1Char('/')) || session().cartellaDb.endsWith(QLatin1Char('\\'))))
        session().cartellaDb.chop(1);

    // 4-5. Connection string; recover the database from the template when needed.
    const QString connessione = StringaConnessione(session().cartellaDb);
    if (!ApriDatabase(connessione))
        return;

    // 6.
    session().dataConStr = connessione;
    session().scrollBarWidth = twipsPerPixelX() * static_cast<float>(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));

    // 7. Schema and default data.
    VerificaLogo();
    AggiornaDb();
    CaricaUms();
    CreaTabelleFin();
    CaricaModelli();
    CaricaLogo();
    // A new document this machine left open when it last ended without closing.
    EliminaDocumentoNuovoRimasto();

    // 8. The professional: the single one without a password works at once
    // (whatever its id), otherwise the login decides.
    const std::int32_t unica = SezioneUnicaSenzaPassword();
    if (unica > 0) {
        session().sezId = unica;
    } else {
        const std::int32_t scelta = frmAdminPass::Apri();
        frmAdminPass::Unload();
        if (scelta < 1)
            return;
        session().sezId = scelta;
    }

    // 9.
    frmMain::Visualizza();
}
