#pragma once

#include "domain/Document.h"
#include "platform/core/Variant.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QHash>
#include <QString>
#include <cstdint>

// Reads a document whole and writes it whole.

// The error number of a document that is not there (any more).
constexpr long kDocumentGone = 3021;

// How a save numbers the document.
struct DocumentSave {
    int kind = 0;          // fatTipo: 0 invoice, 1 credit note, 2 pro forma
    bool numbered = false; // a new invoice or credit note takes the next number
    std::int32_t sezId = 0;
    std::int32_t year = 0; // the working year, whose series numbers it
    QString prefix;        // the series, upper-case letters; empty for the main one
};

class DocumentStore {
public:
    explicit DocumentStore(QString connectionString) : m_connectionString(std::move(connectionString)) {}

    // Header, lines and VAT rows of document `id` in one read transaction, so
    // the three belong to the same moment. Throws core::Error kDocumentGone,
    // saying so, when the document is not there; any other failure of the
    // reading is thrown with what could not be read.
    Document load(std::int32_t id) const;

    // Writes everything the document changed since it was read, and its
    // number, in one write transaction: a row changed or deleted by another
    // user meanwhile is a Conflict (db::DbError), never overwritten. On any
    // failure nothing stays (counter, lines, VAT rows and header are rolled
    // back) and the document in memory still holds every edit for a retry.
    // Returns the number given (0 when none was). The rows in memory keep their
    // pending state: the caller closes the document after a save.
    std::int32_t save(const Document& document, const DocumentSave& how) const;

    // The collections of document `fatId` and its net due, in one read
    // transaction. Throws core::Error kDocumentGone when the document is not there.
    DocumentCollections loadCollections(std::int32_t fatId) const;
    // Writes every pending change of `rows` as saveCollections does, on a
    // connection of its own: all or nothing, a conflict never overwritten.
    void saveCollections(std::int32_t fatId, db::Recordset& rows) const;

private:
    QString m_connectionString;
};

// The writes of a document save, all on one connection that holds the save's
// transaction.

// Writes what was changed in `source` (a disconnected recordset of the editor)
// through a recordset opened afresh on `sql` on `cn`. `source` itself is left
// as it is: when the transaction is rolled back afterwards, every pending edit
// is still there and a retry writes it all again. A changed row must still
// hold, in the file, the original values of the columns that changed, and a
// changed or deleted row must still exist: otherwise the write is a Conflict.
// `overrides` are written into every remaining row of `source` (the header's
// number and kind), whether it was changed or not.
void writePendingRows(const db::Recordset& source, const QString& sql, const QString& keyField, const db::Connection& cn,
                      const QHash<QString, core::Variant>& overrides = {});

// Gives the next number of a series: the counter row of section and year is
// read and raised on `cn`, which must hold a write transaction, so no other
// machine can read the same value in between. The first number of a series
// creates its row with 1. The main series (empty prefix) is one counter
// whether its row stores the prefix as Null or as empty text; should both
// kinds of row exist, both are raised to the same next number.
std::int32_t assignNumber(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix);

// The column of Fatture that keeps the year of the series a document was
// numbered in: the working year at numbering, which may differ from the year
// of the document's date. Documents numbered before it existed hold Null.
inline const QString kSeriesYearColumn = QStringLiteral("fatAnnoSerie");

// The text SELECT of a series' counter rows, as the counter look-up reads them.
QString counterQuery(std::int32_t sezId, std::int32_t anno, const QString& prefix);

// The counter rows of a series on `cn`, in the order of parId, on a client
// cursor with `lock`. Numbering and the counters page read and write a
// counter only through these three functions.
db::Recordset openCounterRows(const db::Connection& cn, std::int32_t sezId, std::int32_t anno, const QString& prefix,
                              db::LockType lock);
// The series' last number: the highest of the rows from the current one on
// (a Null counts as 0), 0 when there is none. Leaves `rs` at its end.
std::int32_t lastCounterNumber(db::Recordset& rs);
// Writes `value` into every counter row of `rs`, so a main series stored both
// with a Null and with an empty prefix stays one counter; without a row, adds
// the series' row (the main series with a Null prefix).
void setCounterRows(db::Recordset& rs, std::int32_t sezId, std::int32_t anno, const QString& prefix, std::int32_t value);
