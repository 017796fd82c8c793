#pragma once

#include "platform/database/Connection.h"

#include <QDate>
#include <QString>
#include <cstdint>

// An accepted pro forma turned into a numbered invoice.

struct NewInvoice {
    std::int32_t id = 0;     // fatId of the invoice
    std::int32_t number = 0; // its number in the series
};

// Whether the pro forma was turned into an invoice already (fatPagata). Throws
// core::Error when the document no longer exists or is not a pro forma.
bool proFormaInvoiced(const db::Connection& cn, std::int32_t proFormaId);

// In one transaction on `cn` (open, no transaction of its own yet): the next
// number of the series `prefix` of section and year, the invoice's header as a
// copy of the pro forma's (dated `date`, kind invoice, that number and prefix,
// sign 1, not invoiced), copies of its detail lines, VAT summary and Media
// rows, and the pro forma marked as invoiced. Any failure rolls everything back
// and is thrown: no number, no row, no mark stays. A pro forma that another
// user deleted or invoiced meanwhile is refused, unless `evenIfInvoiced`.
NewInvoice makeInvoiceFromProForma(db::Connection& cn, std::int32_t proFormaId, std::int32_t sezId, std::int32_t anno,
                                   const QString& prefix, const QDate& date, bool evenIfInvoiced);

// Deletes the pro forma as every document is deleted (with its lines, VAT
// summary, Media rows and collections), in one transaction on `cn`; on failure
// nothing is deleted and the error is thrown.
void deleteProForma(db::Connection& cn, std::int32_t proFormaId);

// The same three on a connection of their own to `connectionString`.
bool proFormaInvoiced(const QString& connectionString, std::int32_t proFormaId);
NewInvoice makeInvoiceFromProForma(const QString& connectionString, std::int32_t proFormaId, std::int32_t sezId,
                                   std::int32_t anno, const QString& prefix, const QDate& date, bool evenIfInvoiced);
void deleteProForma(const QString& connectionString, std::int32_t proFormaId);
