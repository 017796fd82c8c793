#pragma once

#include "platform/core/Currency.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QDate>
#include <QStringList>
#include <QVector>
#include <cstdint>

// The collections received against a document (rows of Incassi).

// Writes every pending change of `collections` (a disconnected batch recordset
// of the document's Incassi rows: additions, changes, deletions) in one
// transaction on `cn`, every written row carrying `fatId`. All or nothing: on
// failure nothing is stored, the error is thrown, and the recordset, again
// disconnected, still holds every pending edit for another try. A row another
// user changed or deleted meanwhile is a conflict, never overwritten, and so is
// a document another user deleted: no collection is stored without its document.
void saveCollections(db::Recordset& collections, db::Connection& cn, std::int32_t fatId);

// The net due less what was collected, exact to the ten-thousandth.
core::Currency unpaidAmount(core::Currency net, const QVector<core::Currency>& collected);

// The amounts of the rows of `collections` as they stand (pending edits
// included, deleted rows left out; an amount that is not a number counts 0).
QVector<core::Currency> collectionAmounts(const db::Recordset& collections);

// A collection row about to be accepted, with what it was before (a new row
// has nothing before): a row of nought is refused, and an amount beyond what
// is left to collect or a date before the document's is asked about first.
// What was accepted once is not asked about again while it stays the same.
struct CollectionRow {
    core::Currency amount;
    QDate date;
    bool isNew = true;
    core::Currency amountBefore;
    QDate dateBefore;
};
struct CollectionRowCheck {
    QString refusal;       // why the row cannot be accepted ("" when it can)
    QStringList questions; // each asked Yes/No, No the default; No keeps the row in edit
};
// `unpaid` is what the other rows leave to collect.
CollectionRowCheck checkCollectionRow(const CollectionRow& row, core::Currency unpaid, const QDate& documentDate);
