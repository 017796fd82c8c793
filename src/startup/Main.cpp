#include "startup/Main.h"

#include "common/comRegistry.h"
#include "common/comUtility.h"
#include "common/frmForFolders.h"
#include "mainwindow/frmMain.h"
#include "platform/database/Recordset.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/CloseGuard.h"
#include "sections/frmAdminPass.h"
#include "startup/DatabaseFile.h"
#include "startup/SchemaUpgrade.h"
#include "startup/SharedState.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void messaggioCritico(const QString& testo)
{
    ui::msgBox(testo, ui::vbCritical, AppTitle());
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
        messaggioCritico(QStringLiteral("Impossibile aprire il file del database:") + kCrLf + PercorsoDatabase() + kCrLf
                         + QStringLiteral("L'applicazione non verrà avviata."));
        frmForFolders::Apri();
        return false;
    }
    if (stato == StatoDatabase::Danneggiato) {
        // Kept under another name, never deleted: the user may still want it back.
        const QString accantonato = AccantonaDatabase(PercorsoDatabase());
        if (accantonato.isEmpty()) {
            messaggioCritico(QStringLiteral("Il file del database non è leggibile e non è stato possibile rinominarlo:") + kCrLf
                             + PercorsoDatabase() + kCrLf + QStringLiteral("L'applicazione non verrà avviata."));
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
    frmForFolders::Apri();
    return false;
}

// The single professional of the database, when it has no password; 0 otherwise.
std::int32_t SezioneUnicaSenzaPassword()
{
    db::Connection cn;
    cn.setCursorLocation(db::CursorLocation::Client);
    cn.open(DataConStr, QString(), QString());
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT * FROM Sezioni"), cn, db::CursorType::Static, db::LockType::ReadOnly, db::CommandType::Text);
    std::int32_t result = 0;
    if (rs.recordCount() == 1 && rs.value(QStringLiteral("sezPass")).isNull())
        result = rs.value(QStringLiteral("sezId")).toLong();
    rs.close();
    cn.close();
    return result;
}

} // namespace

bool SezioneUnicaLibera()
{
    return SezioneUnicaSenzaPassword() > 0;
}

QString CartellaDbPredefinita()
{
    QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // No documents folder known: the home folder, never the current directory.
    if (documenti.isEmpty())
        documenti = QDir::homePath();
    const QString cartella = QDir(documenti).filePath(QStringLiteral("TarvixDB"));
    if (!QFileInfo(cartella).isDir())
        QDir().mkpath(cartella);
    return QDir::cleanPath(cartella);
}

void CaricaSezione()
{
    // Each value on its own: a Null column leaves the variable as it was, a
    // missing section row leaves them all.
    db::Recordset rs;
    try {
        rs.open(QStringLiteral("SELECT * FROM Sezioni WHERE sezId=") + QString::number(gSezId), DataConStr,
                db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    } catch (const core::Error&) {
        return;
    }
    if (rs.eof()) {
        rs.close();
        return;
    }
    auto leggi = [&](const char* campo, auto&& assegna) {
        try {
            const core::Variant v = rs.value(QString::fromUtf8(campo));
            if (!v.isNull())
                assegna(v);
        } catch (const core::Error&) {
        }
    };
    leggi("sezRitAccPerc", [](const core::Variant& v) { gRitAccPerc = v.toDouble(); });
    leggi("sezRitAccDesc", [](const core::Variant& v) { gRitAccDesc = v.toString(); });
    leggi("sezRitAccPercSuImp", [](const core::Variant& v) { gRitAccPercSuImp = v.toDouble(); });
    leggi("sezRitPrePerc", [](const core::Variant& v) { gRitPrePerc = v.toDouble(); });
    leggi("sezRitPreDesc", [](const core::Variant& v) { gRitPreDesc = v.toString(); });
    leggi("sezRitAccSuRitPre", [](const core::Variant& v) { gRitAccSuRitPre = v.toBool(); });
    try {
        gPreIVA = NzStr(rs.value(QStringLiteral("sezPreIVA")), QString());
    } catch (const core::Error&) {
    }
    rs.close();
}

void RimuoviChiudi(QWidget* frm)
{
    ui::blockWindowClose(frm, true);
}

void Main()
{
    // 1. Registry key paths, from the application title.
    gRegKeySettings = QStringLiteral("Software\\Vantrel\\") + AppTitle() + QStringLiteral("\\Settings");
    gRegKeySettings2 = gRegKeySettings;
    gRegKeyPrinters = QStringLiteral("Software\\Vantrel\\") + AppTitle() + QStringLiteral("\\Printers");

    // 2-3. The database folder: the registry's, or the default one.
    gCartellaDbPredefinita = CartellaDbPredefinita();
    gCartellaDb = LeggiRegistro(HKEY_CURRENT_USER, gRegKeySettings, REG_SZ, QStringLiteral("appset_curdb"),
                                core::Variant(gCartellaDbPredefinita))
                      .toString();
    while (gCartellaDb.size() > 1 && (gCartellaDb.endsWith(QLatin1Char('/')) || gCartellaDb.endsWith(QLatin1Char('\\'))))
        gCartellaDb.chop(1);

    // 4-5. Connection string; recover the database from the template when needed.
    const QString connessione = StringaConnessione(gCartellaDb);
    if (!ApriDatabase(connessione))
        return;

    // 6.
    DataConStr = connessione;
    gScrollBarWidth = twipsPerPixelX() * static_cast<float>(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));

    // 7. Schema and default data.
    VerificaLogo();
    AggiornaDb();
    CaricaUms();
    CreaTabelleFin();
    CaricaModelli();
    CaricaLogo();

    // 8. The professional: the single one without a password works at once
    // (whatever its id), otherwise the login decides.
    const std::int32_t unica = SezioneUnicaSenzaPassword();
    if (unica > 0) {
        gSezId = unica;
    } else {
        const std::int32_t scelta = frmAdminPass::Apri();
        frmAdminPass::Unload();
        if (scelta < 1)
            return;
        gSezId = scelta;
    }

    // 9.
    frmMain::Visualizza();
}
