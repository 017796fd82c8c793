#pragma once

#include "platform/core/Currency.h"

#include <QString>
#include <QVector>

// The VAT summary of a document as pure functions, apart from recordsets and
// windows: one row per VAT code from the sum of its lines, and the document
// totals from those rows. Surcharge, VAT and withholding are rounded per code
// (two decimals, ties to even, on the double value), never on the total.

struct VatCode {
    QString code;
    double rate = 0.0;       // percent; 0 = exempt
    bool noSurcharge = false; // cdiEsenzione
    bool noWithholding = false; // cdiRitAcc
};

// The document's surcharge and withholding settings.
struct VatSettings {
    double surchargePercent = 0.0;       // fatRitPrePerc
    double withholdingPercent = 0.0;     // fatRitAccPerc (0 while the box is off)
    double withholdingBasePercent = 0.0; // fatRitAccPercSuImp
    bool withholdingOnSurcharge = false; // fatRitAccSuRitPre
};

struct VatSummaryRow {
    QString code;
    core::Currency amount;      // fciImporto
    core::Currency surcharge;   // fciSoggettivo
    core::Currency taxable;     // fciImponibile
    core::Currency tax;         // fciImposta
    core::Currency total;       // fciTotRiga
    core::Currency withholding; // fciRit01
};

struct DocumentTotals {
    core::Currency amount;      // fatTotImporto
    core::Currency surcharge;   // fatTotSoggettivo
    core::Currency taxable;     // fatTotImponibile
    core::Currency tax;         // fatTotImposta
    core::Currency total;       // fatTotDoc
    core::Currency withholding; // fatTotRitAcc
    core::Currency net;         // fatTotNetto
};

// amount x percent / 100 on the double value, rounded to cents, ties to even.
core::Currency percentOf(core::Currency amount, double percent);

// The summary row of one code whose lines add up to `amount` (not zero; a
// negative amount gives negative figures throughout).
VatSummaryRow computeVatRow(core::Currency amount, const VatCode& code, const VatSettings& settings);

// Exact sums of the rows; the net is the total less the withholding.
DocumentTotals computeTotals(const QVector<VatSummaryRow>& rows);

// One detail line as the summary sees it: its VAT code and its total. Lines
// deleted in the editor are not passed.
struct VatLine {
    QString code;         // fdtCodiceIVA
    core::Currency total; // fdtTotRiga
};

// What becomes of the document's summary row of one code.
enum class VatRowAction {
    Add,    // no row yet for a code whose lines add up to other than zero
    Update, // the code's row gets the values of `row`
    Remove, // the code's lines add up to zero (or it has none): its row goes
};

struct VatRowChange {
    VatRowAction action;
    VatSummaryRow row; // for Remove, only the code
};

struct VatSummary {
    // In the order of `codes`: a change for every code whose row must be added,
    // updated or removed.
    QVector<VatRowChange> changes;
    // The summary once the changes are applied: the computed rows in the order
    // of `codes`, then the rows of codes no longer in the table, kept as they are.
    QVector<VatSummaryRow> rows;
    DocumentTotals totals;
};

// The document's whole VAT summary from its lines, the VAT code table (in its
// order) and the rows the document holds now. Codes compare without regard to
// case; lines without a code, or with a code not in the table, count in no row;
// a code whose lines add up to zero has no row, one whose lines add up to less
// than zero keeps its row with negative figures; a row of a code no longer in
// the table is left as it is.
VatSummary computeVatSummary(const QVector<VatLine>& lines, const QVector<VatCode>& codes,
                             const QVector<VatSummaryRow>& existing, const VatSettings& settings);
