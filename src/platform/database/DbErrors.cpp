#include "platform/database/DbErrors.h"

namespace db::errors {

DbError objectClosed()
{
    return DbError(ErrorKind::InvalidOperation, ErrorNumber::ObjectClosed,
                   QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
}

DbError noCurrentRecord()
{
    return DbError(ErrorKind::InvalidOperation, ErrorNumber::NoCurrentRecord,
                   QStringLiteral("Nessun record corrente: inizio o fine del recordset, oppure il record è stato eliminato."));
}

DbError itemNotFound(const QString& name)
{
    return DbError(ErrorKind::NoSuchObject, ErrorNumber::ItemNotFound,
                   QStringLiteral("Elemento '%1' non trovato nell'insieme corrispondente al nome o al numero richiesto.")
                       .arg(name));
}

DbError notSupported(const QString& what)
{
    return DbError(ErrorKind::InvalidOperation, ErrorNumber::NotSupported,
                   QStringLiteral("Operazione non supportata: %1.").arg(what));
}

DbError invalidOperation(const QString& what)
{
    return DbError(ErrorKind::InvalidOperation, ErrorNumber::NotSupported,
                   QStringLiteral("Operazione non consentita nel contesto attuale: %1.").arg(what));
}

DbError readOnlyRecordset()
{
    return DbError(ErrorKind::InvalidOperation, ErrorNumber::NotSupported,
                   QStringLiteral("Il recordset è di sola lettura: impossibile modificarne i dati."));
}

DbError tooLong(const QString& column, int definedSize)
{
    return DbError(ErrorKind::TooLong, ErrorNumber::TooLong,
                   QStringLiteral("Il testo è troppo lungo per il campo '%1' (al massimo %2 caratteri).")
                       .arg(column)
                       .arg(definedSize));
}

DbError badValue(const QString& column, const QString& value)
{
    return DbError(ErrorKind::Constraint, ErrorNumber::Integrity,
                   QStringLiteral("Il valore '%1' non è valido per il campo '%2'.").arg(value, column));
}

DbError conflict()
{
    return DbError(ErrorKind::Conflict, ErrorNumber::Conflict,
                   QStringLiteral("Impossibile trovare la riga da aggiornare: è stata modificata o eliminata "
                                  "da un altro utente dopo la lettura."));
}

DbError noSuchTable(const QString& table)
{
    return DbError(ErrorKind::NoSuchObject, ErrorNumber::Unspecified,
                   QStringLiteral("La tabella '%1' non esiste nel database.").arg(table));
}

DbError fileNotFound(const QString& path)
{
    return DbError(ErrorKind::FileNotFound, ErrorNumber::Unspecified,
                   QStringLiteral("Impossibile trovare il file '%1'.").arg(path));
}

DbError notADatabase(const QString& path)
{
    return DbError(ErrorKind::NotADatabase, ErrorNumber::Unspecified,
                   QStringLiteral("Il file '%1' non è un database riconosciuto oppure è danneggiato.").arg(path));
}

DbError damaged(const QString& path)
{
    return DbError(ErrorKind::NotADatabase, ErrorNumber::Unspecified,
                   QStringLiteral("Il file di database '%1' è danneggiato e non può essere usato. "
                                  "Ripristinare una copia di sicurezza del database.")
                       .arg(path));
}

DbError nulInText(const QString& column)
{
    const QString where = column.isEmpty() ? QStringLiteral("Il testo") : QStringLiteral("Il testo del campo '%1'").arg(column);
    return DbError(ErrorKind::Constraint, ErrorNumber::Integrity,
                   where + QStringLiteral(" contiene un carattere nullo (codice 0), che non può essere memorizzato: "
                                          "togliere il carattere e riprovare."));
}

} // namespace db::errors
