#include "domain/Collections.h"

#include "platform/core/Error.h"
#include "platform/core/Format.h"
#include "platform/database/Types.h"
#include "platform/database/Transaction.h"

namespace {

const QString kFormatoImporti = QStringLiteral("#,##0.00;-#,##0.00;0.00");
const QString kRegistrare = QStringLiteral("\r\nRegistrare comunque l'incasso?");

QString amountText(core::Currency amount) { return core::format(core::Variant(amount), kFormatoImporti); }
QString dateText(const QDate& date) { return date.toString(QStringLiteral("dd/MM/yyyy")); }

bool documentExists(const db::Connection& cn, std::int32_t fatId)
{
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT fatId FROM Fatture WHERE fatId=") + QString::number(fatId), cn, db::CursorType::ForwardOnly,
            db::LockType::ReadOnly, db::CommandType::Text);
    const bool found = !rs.eof();
    rs.close();
    return found;
}

} // namespace

void saveCollections(db::Recordset& collections, db::Connection& cn, std::int32_t fatId)
{
    // The document's id goes into every row about to be written, whatever the grid held.
    db::Recordset rows = collections.clone();
    rows.setFilter(db::FilterGroup::PendingRecords);
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        if (rows.status() & db::RecordStatus::Deleted)
            continue;
        const core::Variant doc = rows.value(QStringLiteral("incFatId"));
        if (doc.isEmptyOrNull() || doc.toLong() != fatId) {
            rows.setValue(QStringLiteral("incFatId"), core::Variant(fatId));
            rows.update();
        }
    }
    rows.close();

    collections.setActiveConnection(cn);
    try {
        db::Transaction tx(cn);
        // Read under the write lock, so no deletion elsewhere can come between this and the commit.
        if (!documentExists(cn, fatId))
            throw db::DbError(db::ErrorKind::Conflict, db::ErrorNumber::Conflict,
                              QStringLiteral("documento eliminato da un altro utente"));
        collections.updateBatch();
        tx.commit();
    } catch (const core::Error&) {
        // The rolled-back batch is pending again; the recordset goes back to waiting.
        collections.disconnect();
        throw;
    }
    collections.disconnect();
}

core::Currency unpaidAmount(core::Currency net, const QVector<core::Currency>& collected)
{
    core::Currency left = net;
    for (const core::Currency& c : collected)
        left -= c;
    return left;
}

QVector<core::Currency> collectionAmounts(const db::Recordset& collections)
{
    QVector<core::Currency> out;
    db::Recordset rows = collections.clone();
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const core::Variant v = rows.value(QStringLiteral("incImporto"));
        if (v.isNumber())
            out.append(v.toCurrency());
    }
    rows.close();
    return out;
}

CollectionRowCheck checkCollectionRow(const CollectionRow& row, core::Currency unpaid, const QDate& documentDate)
{
    CollectionRowCheck check;
    if (row.amount == core::Currency()) {
        check.refusal = QStringLiteral("L'importo dell'incasso è zero: inserire l'importo incassato, oppure annullare la "
                                       "riga con Esc.");
        return check;
    }
    const bool amountChanged = row.isNew || row.amount != row.amountBefore;
    const bool dateChanged = row.isNew || row.date != row.dateBefore;
    if (amountChanged && row.amount > unpaid && row.amount > core::Currency())
        check.questions << QStringLiteral("L'importo di %1 supera quanto resta da incassare (%2).")
                                   .arg(amountText(row.amount), amountText(unpaid))
                               + kRegistrare;
    if (dateChanged && documentDate.isValid() && row.date.isValid() && row.date < documentDate)
        check.questions << QStringLiteral("La data dell'incasso (%1) è anteriore alla data del documento (%2).")
                                   .arg(dateText(row.date), dateText(documentDate))
                               + kRegistrare;
    return check;
}
