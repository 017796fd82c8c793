#include "platform/database/sqlite/SqliteError.h"

#include "platform/database/DbErrors.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace db::sqlite {

namespace {

QString columnOf(const QString& message, const QString& prefix)
{
    // "NOT NULL constraint failed: t.col" -> "col"
    QString rest = message.mid(message.indexOf(prefix) + prefix.size()).trimmed();
    rest = rest.section(QLatin1Char(','), 0, 0);
    return rest.section(QLatin1Char('.'), -1);
}

DbError constraintError(int extended, const QString& message)
{
    if (extended == SQLITE_CONSTRAINT_CHECK) {
        // The length limit of a text column is a CHECK named "len_<column>".
        static const QRegularExpression re(QStringLiteral("CHECK constraint failed: (?:\\w+\\.)?len_(\\S+)"));
        const auto match = re.match(message);
        if (match.hasMatch())
            return DbError(ErrorKind::TooLong, ErrorNumber::TooLong,
                           QStringLiteral("Il testo è troppo lungo per il campo '%1'.").arg(match.captured(1)));
        return DbError(ErrorKind::Constraint, ErrorNumber::Integrity,
                       QStringLiteral("Il valore non rispetta una regola di convalida della tabella (%1).").arg(message));
    }
    if (extended == SQLITE_CONSTRAINT_NOTNULL)
        return DbError(ErrorKind::Constraint, ErrorNumber::Integrity,
                       QStringLiteral("Il campo '%1' richiede un valore.")
                           .arg(columnOf(message, QStringLiteral("failed:"))));
    if (extended == SQLITE_CONSTRAINT_UNIQUE || extended == SQLITE_CONSTRAINT_PRIMARYKEY)
        return DbError(ErrorKind::Constraint, ErrorNumber::Integrity,
                       QStringLiteral("Le modifiche non sono state apportate perché creerebbero valori duplicati "
                                      "nell'indice, nella chiave primaria o nella relazione (%1).")
                           .arg(message));
    return DbError(ErrorKind::Constraint, ErrorNumber::Integrity,
                   QStringLiteral("Violazione di un vincolo del database (%1).").arg(message));
}

} // namespace

DbError errorFrom(sqlite3* db, int rc, const QString& givenPath)
{
    // Every message about the file names it: the caller's path, else the file the connection has open.
    QString path = givenPath;
    if (path.isEmpty() && db) {
        const char* file = sqlite3_db_filename(db, "main");
        path = file && *file ? QString::fromUtf8(file) : QStringLiteral("(in memoria)");
    }
    const int extended = db ? sqlite3_extended_errcode(db) : rc;
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbError(ErrorKind::Busy, ErrorNumber::Unspecified,
                       QStringLiteral("Il database è bloccato da un altro utente. Riprovare più tardi."));
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return errors::damaged(path);
    case SQLITE_CANTOPEN:
        return DbError(ErrorKind::FileNotFound, ErrorNumber::Unspecified,
                       QStringLiteral("Impossibile aprire il file '%1'.").arg(path));
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return DbError(ErrorKind::ReadOnly, ErrorNumber::Unspecified,
                       QStringLiteral("Impossibile scrivere nel database: il file o la cartella è di sola lettura."));
    case SQLITE_CONSTRAINT:
        return constraintError(extended, message);
    case SQLITE_TOOBIG:
        return DbError(ErrorKind::TooLong, ErrorNumber::TooLong,
                       QStringLiteral("Il valore è troppo grande per il database."));
    case SQLITE_FULL:
        return DbError(ErrorKind::Other, ErrorNumber::Unspecified,
                       QStringLiteral("Spazio esaurito sul disco del database."));
    case SQLITE_IOERR:
        return DbError(ErrorKind::Other, ErrorNumber::Unspecified,
                       QStringLiteral("Errore di lettura o scrittura del file di database (%1).").arg(message));
    default:
        break;
    }
    // The engine's English ("no such table: Media") said in words, naming the object.
    static const QRegularExpression missing(QStringLiteral("^no such (table|column|index): (?:\\w+\\.)?(.+)$"));
    if (const auto m = missing.match(message); m.hasMatch()) {
        const QString name = m.captured(2).trimmed();
        if (m.captured(1) == QLatin1String("table"))
            return errors::noSuchTable(name);
        return DbError(ErrorKind::NoSuchObject, ErrorNumber::Unspecified,
                       m.captured(1) == QLatin1String("column")
                           ? QStringLiteral("La colonna '%1' non esiste nel database.").arg(name)
                           : QStringLiteral("L'indice '%1' non esiste nel database.").arg(name));
    }
    if (message.startsWith(QLatin1String("no such ")))
        return DbError(ErrorKind::NoSuchObject, ErrorNumber::Unspecified,
                       QStringLiteral("Oggetto inesistente nel database (%1).").arg(message));
    if (message.contains(QLatin1String("already exists")) || message.startsWith(QLatin1String("duplicate column")))
        return DbError(ErrorKind::AlreadyExists, ErrorNumber::Unspecified,
                       QStringLiteral("L'oggetto esiste già nel database (%1).").arg(message));
    if (message.contains(QLatin1String("syntax error")) || message.startsWith(QLatin1String("near ")))
        return DbError(ErrorKind::Syntax, ErrorNumber::Syntax,
                       QStringLiteral("Errore di sintassi nell'istruzione SQL (%1).").arg(message));
    return DbError(ErrorKind::Other, ErrorNumber::Unspecified,
                   QStringLiteral("Errore del database: %1.").arg(message));
}

void check(sqlite3* db, int rc, const QString& path)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw errorFrom(db, rc, path);
}

} // namespace db::sqlite
