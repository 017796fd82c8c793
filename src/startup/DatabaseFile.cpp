#include "startup/DatabaseFile.h"

#include "common/comUtility.h"
#include "common/comRegistry.h"
#include "domain/DocumentStore.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/ui/Dialogs.h"
#include "startup/SharedState.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString PercorsoDatabase()
{
    return QDir(session().cartellaDb).filePath(QLatin1String(kNomeDatabase));
}

QString PercorsoDatabaseMostrato()
{
    return QDir::toNativeSeparators(QDir::cleanPath(PercorsoDatabase()));
}

QString StringaConnessione(const QString& cartellaDb)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + QDir(cartellaDb).filePath(QLatin1String(kNomeDatabase))
         + QStringLiteral(";Persist Security Info=False");
}

bool ConnessioneFallita(const QString& connectionString)
{
    return VerificaDatabase(connectionString) != StatoDatabase::Apribile;
}

QString FileDellaConnessione(const QString& connectionString)
{
    const QString chiave = QStringLiteral("Data Source=");
    const int inizio = connectionString.indexOf(chiave, 0, Qt::CaseInsensitive);
    if (inizio < 0)
        return {};
    const int da = inizio + chiave.size();
    const int fine = connectionString.indexOf(QLatin1Char(';'), da);
    return connectionString.mid(da, fine < 0 ? -1 : fine - da).trimmed();
}

namespace {

// What tells this file's content apart from the one last checked: the header's
// change counter (raised by every write), page count, its valid-for counter
// and the engine's version, the size, and the time of the last write to the
// file to the nanosecond (which every other write, by any program, moves on).
// Empty when the file cannot be read.
QString impronta(const QString& percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray testa = file.read(100);
    struct stat info {};
    if (testa.size() < 100 || ::fstat(file.handle(), &info) != 0)
        return {};
    return QString::fromLatin1(testa.mid(24, 8).toHex() + ':' + testa.mid(92, 8).toHex()) + QLatin1Char(':')
         + QString::number(info.st_size) + QLatin1Char(':') + QString::number(info.st_mtim.tv_sec) + QLatin1Char('.')
         + QString::number(info.st_mtim.tv_nsec);
}

// Remembered in this machine's settings, per database file.
QString nomeImpronta(const QString& percorso)
{
    return QStringLiteral("dbVerificato:") + QDir::cleanPath(QFileInfo(percorso).absoluteFilePath());
}

QString improntaVerificata(const QString& percorso)
{
    if (session().regKeySettings.isEmpty())
        return {};
    try {
        return LeggiRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, nomeImpronta(percorso), core::Variant(QString()))
            .toString();
    } catch (const core::Error&) {
        return {};
    }
}

void ricordaImpronta(const QString& percorso, const QString& valore)
{
    if (session().regKeySettings.isEmpty() || valore.isEmpty())
        return;
    // A help for the next start only: a settings file that cannot be written
    // means the next start checks the file through again.
    try {
        ScriviRegistro(HKEY_CURRENT_USER, session().regKeySettings, REG_SZ, nomeImpronta(percorso), core::Variant(valore));
    } catch (const core::Error&) {
    }
}

} // namespace

StatoDatabase VerificaDatabase(const QString& connectionString)
{
    // What the path is, before the engine is asked: its own errors would call a
    // folder or a file without permission simply "not found" or "not a database".
    const QString percorso = FileDellaConnessione(connectionString);
    const QFileInfo info(percorso);
    // A link to a file that is not there (a folder moved, a share not mounted):
    // a new database must not take the place of the one it points to.
    if (info.isSymLink() && !info.exists())
        return StatoDatabase::CollegamentoInterrotto;
    if (info.isDir())
        return StatoDatabase::Cartella;
    if (info.isFile()) {
        QFile file(percorso);
        if (!file.open(QIODevice::ReadOnly))
            return file.error() == QFileDevice::PermissionsError || !info.isReadable() ? StatoDatabase::NonLeggibile
                                                                                      : StatoDatabase::Irraggiungibile;
    }
    try {
        db::Connection cn;
        cn.open(connectionString, QString(), QString());
        // Reading every page takes longer as the file grows: a file no one has
        // written since this machine last found it sound is not read through
        // again. Taken once open, when a write cut short is undone already.
        const QString prima = impronta(percorso);
        if (!prima.isEmpty() && prima == improntaVerificata(percorso)) {
            cn.close();
            return StatoDatabase::Apribile;
        }
        const QString verifica = cn.quickCheck();
        cn.close();
        if (verifica != QLatin1String("ok"))
            return StatoDatabase::Danneggiato;
        ricordaImpronta(percorso, prima);
        return StatoDatabase::Apribile;
    } catch (const db::DbError& e) {
        // The engine must finish (undo) the write its journal records before it
        // reads the file, and cannot on a file it may not write.
        if (e.kind() == db::ErrorKind::ReadOnly && QFileInfo(percorso + QStringLiteral("-journal")).size() > 0)
            return StatoDatabase::GiornaleSuSolaLettura;
        switch (e.kind()) {
        case db::ErrorKind::FileNotFound:
            return StatoDatabase::Assente;
        case db::ErrorKind::NotADatabase:
            return StatoDatabase::Danneggiato;
        case db::ErrorKind::Busy:
            return StatoDatabase::Occupato;
        default:
            return StatoDatabase::Irraggiungibile;
        }
    } catch (const core::Error&) {
        return StatoDatabase::Irraggiungibile;
    }
}

QString AccantonaDatabase(const QString& percorso)
{
    const QFileInfo info(percorso);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString nuovo = info.dir().filePath(info.completeBaseName() + QStringLiteral("-danneggiato-") + stamp + QStringLiteral(".mdb"));
    for (int n = 2; QFileInfo::exists(nuovo); ++n)
        nuovo = info.dir().filePath(info.completeBaseName() + QStringLiteral("-danneggiato-") + stamp + QLatin1Char('-')
                                    + QString::number(n) + QStringLiteral(".mdb"));
    // A journal left beside a damaged file belongs to it: move it along, or the
    // engine would apply it to the new database.
    const QString journal = percorso + QStringLiteral("-journal");
    if (!QFile::rename(percorso, nuovo))
        return {};
    if (QFileInfo::exists(journal))
        QFile::rename(journal, nuovo + QStringLiteral("-journal"));
    return nuovo;
}

namespace {


// Copied block by block into a file made new (never an existing file, never
// through a link), flushed to the disk; a failed copy leaves nothing behind.
int copiaReale(const QString& da, const QString& a)
{
    QFile sorgente(da);
    if (!sorgente.open(QIODevice::ReadOnly))
        return EIO;
    const int fd = ::open(QFile::encodeName(a).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int errore = 0;
    while (errore == 0 && !sorgente.atEnd()) {
        const QByteArray blocco = sorgente.read(1 << 16);
        if (blocco.isEmpty() && sorgente.error() != QFileDevice::NoError)
            errore = EIO;
        for (qsizetype scritti = 0; errore == 0 && scritti < blocco.size();) {
            const ssize_t n = ::write(fd, blocco.constData() + scritti, static_cast<size_t>(blocco.size() - scritti));
            if (n < 0 && errno != EINTR)
                errore = errno;
            else if (n > 0)
                scritti += n;
        }
    }
    if (errore == 0 && ::fsync(fd) != 0)
        errore = errno;
    if (::close(fd) != 0 && errore == 0)
        errore = errno;
    if (errore != 0)
        ::unlink(QFile::encodeName(a).constData());
    return errore;
}

CopiaFile& copiaFile()
{
    static CopiaFile copia;
    return copia;
}

} // namespace

void ImpostaCopiaFile(CopiaFile copia)
{
    copiaFile() = std::move(copia);
}

bool RipristinaMaster(bool* messaggioMostrato)
{
    if (messaggioMostrato)
        *messaggioMostrato = false;
    const QString modello = QDir(AppPath()).filePath(QLatin1String(kNomeTemplate));
    if (!QFileInfo(modello).isFile())
        return false;
    const QString destinazione = PercorsoDatabase();
    // An existing file (even a damaged one) is never replaced here; the
    // caller puts it aside first.
    const int errore = QFileInfo::exists(destinazione) ? EEXIST : copiaFile() ? copiaFile()(modello, destinazione)
                                                                           : copiaReale(modello, destinazione);
    if (errore != 0) {
        if (errore == ENOSPC || errore == EDQUOT)
            ui::msgBox(QStringLiteral("Il disco del database è pieno: non c'è spazio per creare il database in") + kCrLf
                           + QDir::toNativeSeparators(session().cartellaDb) + kCrLf
                           + QStringLiteral("Liberare spazio sul disco e avviare di nuovo il programma."),
                       ui::vbOKOnly, AppTitle());
        else
            ui::msgBox(QStringLiteral("Impossibile trovare la cartella del database. Verificare la disponibilità della risorsa."),
                       ui::vbOKOnly, AppTitle());
        if (messaggioMostrato)
            *messaggioMostrato = true;
        return false;
    }
    // The template may be read-only in the program folder; the copy must not be.
    QFile::setPermissions(destinazione, QFile::permissions(destinazione) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    return true;
}

std::int32_t UltimoNumero(const QString& Serie)
{
    // The same rows the numbering raises, in a fixed order, so two rows of one
    // series and year always give the same answer.
    const QString sql = counterQuery(session().sezId, session().annoLavoro, Serie) + QStringLiteral(" ORDER BY parId");
    db::Recordset rs;
    rs.open(sql, session().dataConStr, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
    std::int32_t result = 0;
    if (!rs.eof()) {
        // A Null counter counts as no number given yet.
        const core::Variant n = rs.value(QStringLiteral("parNum1"));
        result = n.isNull() ? 0 : n.toLong();
    }
    rs.close();
    return result;
}
