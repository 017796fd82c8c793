#pragma once

#include "platform/core/Currency.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

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
