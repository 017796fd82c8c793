#include "domain/Deletion.h"

#include "common/comDataBase.h"
#include "domain/ClientConnection.h"
#include "platform/database/Connection.h"
#include "platform/database/DbErrors.h"
#include "platform/database/Recordset.h"
#include "platform/database/Transaction.h"

namespace {

void requireTransaction(const db::Connection& cn)
{
    if (!cn.inTransaction())
        throw db::DbError(db::ErrorKind::InvalidOperation, db::ErrorNumber::Unspecified,
                          QStringLiteral("l'eliminazione richiede una transazione"));
}

// Numbers as plain decimal text; the VAT code as quoted text.
QString keyText(ListRecord kind, const core::Variant& key)
{
    if (kind == ListRecord::VatCode)
        return SqlQuoted(key.toString());
    return QString::number(key.toLong());
}

} // namespace

QStringList documentDeletionStatements(std::int32_t fatId)
{
    const QString K = QString::number(fatId);
    // The collections and the Media rows go with the document: left behind they
    // would count against a document that no longer exists.
    return {QStringLiteral("DELETE * FROM FattureDettaglio WHERE fdtfatId=") + K,
            QStringLiteral("DELETE * FROM FattureIva WHERE fcifatId=") + K,
            QStringLiteral("DELETE * FROM Incassi WHERE incFatId=") + K,
            QStringLiteral("DELETE * FROM MediaPagamenti WHERE medpagmedId IN (SELECT medId FROM Media WHERE medfatId=") + K
                + QStringLiteral(")"),
            QStringLiteral("DELETE * FROM Media WHERE medfatId=") + K,
            QStringLiteral("DELETE * FROM Fatture WHERE fatId=") + K};
}

void deleteDocument(db::Connection& cn, std::int32_t fatId)
{
    requireTransaction(cn);
    for (const QString& sql : documentDeletionStatements(fatId))
        cn.execute(sql);
}

void deleteDocument(const QString& connectionString, std::int32_t fatId)
{
    db::Connection cn = openClientConnection(connectionString);
    db::Transaction tx(cn);
    deleteDocument(cn, fatId);
    tx.commit();
    cn.close();
}

std::optional<ListRecord> listRecordOfView(const QString& viewCode)
{
    if (viewCode == QLatin1String("fat") || viewCode == QLatin1String("pro"))
        return ListRecord::Document;
    if (viewCode == QLatin1String("cli"))
        return ListRecord::Client;
    if (viewCode == QLatin1String("iva"))
        return ListRecord::VatCode;
    if (viewCode == QLatin1String("pag"))
        return ListRecord::PaymentTerm;
    if (viewCode == QLatin1String("pre"))
        return ListRecord::Service;
    return std::nullopt;
}

QStringList referenceChecks(ListRecord kind, const core::Variant& key)
{
    const QString K = keyText(kind, key);
    switch (kind) {
    case ListRecord::Client:
        return {QStringLiteral("SELECT * FROM Fatture WHERE fatCliForId=") + K,
                QStringLiteral("SELECT * FROM Prestazioni WHERE preCliId=") + K};
    case ListRecord::VatCode:
        // A code that a professional offers as its default is in use as much as one on a document.
        return {QStringLiteral("SELECT * FROM FattureDettaglio WHERE fdtCodiceIVA=") + K,
                QStringLiteral("SELECT * FROM Prestazioni WHERE preCodiceIVA=") + K,
                QStringLiteral("SELECT * FROM Sezioni WHERE sezPreIVA=") + K};
    case ListRecord::PaymentTerm:
        return {QStringLiteral("SELECT * FROM Fatture WHERE fatCliForPag=") + K,
                QStringLiteral("SELECT * FROM CliFor WHERE cliPagamento=") + K};
    case ListRecord::Document:
    case ListRecord::Service:
        break;
    }
    return {};
}

QStringList deletionStatements(ListRecord kind, const core::Variant& key)
{
    const QString K = keyText(kind, key);
    switch (kind) {
    case ListRecord::Document:
        return documentDeletionStatements(key.toLong());
    case ListRecord::Client:
        return {QStringLiteral("DELETE * FROM CliFor WHERE cliId=") + K};
    case ListRecord::VatCode:
        return {QStringLiteral("DELETE * FROM CodiciIVA WHERE cdiCodice=") + K};
    case ListRecord::PaymentTerm:
        return {QStringLiteral("DELETE * FROM Pagamenti WHERE pagId=") + K};
    case ListRecord::Service:
        return {QStringLiteral("DELETE * FROM Prestazioni WHERE preId=") + K};
    }
    return {};
}

bool deleteListRecord(db::Connection& cn, ListRecord kind, const core::Variant& key)
{
    requireTransaction(cn);
    // Every check runs, whatever the one before found.
    bool inUse = false;
    for (const QString& sql : referenceChecks(kind, key)) {
        db::Recordset rs;
        rs.open(sql, cn, db::CursorType::ForwardOnly, db::LockType::ReadOnly, db::CommandType::Text);
        inUse = inUse || !rs.eof();
        rs.close();
    }
    if (inUse)
        return false;
    for (const QString& sql : deletionStatements(kind, key))
        cn.execute(sql);
    return true;
}

ListDeletion deleteListRecord(const QString& connectionString, ListRecord kind, const core::Variant& key,
                              const std::function<bool()>& confirm)
{
    db::Connection cn;
    try {
        cn.setCursorLocation(db::CursorLocation::Client);
        cn.open(connectionString, QString(), QString());
        ListDeletion outcome = ListDeletion::NotConfirmed;
        if (confirm()) {
            // The transaction holds the write lock from its start: no other
            // machine can add a reference between the checks and the deletion.
            db::Transaction tx(cn);
            if (deleteListRecord(cn, kind, key)) {
                tx.commit();
                outcome = ListDeletion::Deleted;
            } else {
                tx.rollback();
                outcome = ListDeletion::InUse;
            }
        }
        cn.close();
        return outcome;
    } catch (...) {
        cn.abandon();
        throw;
    }
}
