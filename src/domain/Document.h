#pragma once

#include "domain/VatSummary.h"
#include "platform/core/Variant.h"
#include "platform/database/Recordset.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <cstdint>

// Whether a value read and a value to write are the same as stored: Null and
// Empty alike, a text only equal to a text, numbers and dates by value.
bool sameStored(const core::Variant& a, const core::Variant& b);

// A document's collections (Incassi rows, in memory) with the net due they
// are set against, read at one moment.
struct DocumentCollections {
    core::Currency net; // fatTotNetto as stored; 0 when it holds no number
    QDate date;         // fatData; invalid when it holds no date
    db::Recordset rows;
};

// One document as a whole: its header (Fatture), its detail lines
// (FattureDettaglio) and its VAT summary (FattureIVA), read in one snapshot and
// held in memory with the values read, so a save knows what was changed here
// and can tell whether another user changed it meanwhile. The rows stay
// recordsets in memory (disconnected) because the editor's bound controls and
// grids edit them in place; nothing here reaches the database.
class Document {
public:
    Document() = default;

    std::int32_t id() const { return m_id; }
    bool isOpen() const;

    // A header field; Null when the field is not there.
    core::Variant header(const QString& field) const;
    bool hasHeaderField(const QString& field) const;
    // Writes a header field when its value changes; the header is left out of edit.
    void setHeader(const QString& field, const core::Variant& value);
    // Ends an edit of the header written through its rows (a bound control).
    void finishHeaderEdit();

    // The rows in memory, for what binds to them. Handles: edits through them are
    // the document's edits.
    db::Recordset headerRows() const { return m_header; }
    db::Recordset lineRows() const { return m_lines; }
    db::Recordset vatRows() const { return m_vat; }

    int lineCount() const;
    int vatRowCount() const;
    // The lines as the VAT summary reads them (code and total).
    QVector<VatLine> vatLines() const;
    QVector<VatSummaryRow> vatSummary() const;
    // The surcharge and withholding settings of the header; `surcharge` and
    // `withholding` percents as given.
    VatSettings vatSettings(double surchargePercent, double withholdingPercent) const;
    VatSettings vatSettings() const;
    // Brings the VAT rows to a computed summary: rows added, changed or removed.
    void applyVatChanges(const QVector<VatRowChange>& changes);
    // The header's totals from its VAT rows.
    void setTotals(const DocumentTotals& totals);

    // Drops every pending edit and closes the rows.
    void discard();

private:
    friend class DocumentStore;
    std::int32_t m_id = 0;
    db::Recordset m_header;
    db::Recordset m_lines;
    db::Recordset m_vat;
};
