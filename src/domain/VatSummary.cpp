#include "domain/VatSummary.h"

#include <QHash>
#include <QSet>

core::Currency percentOf(core::Currency amount, double percent)
{
    return core::Currency::fromDouble(core::roundHalfEven(amount.toDouble() * percent / 100.0, 2));
}

VatSummaryRow computeVatRow(core::Currency amount, const VatCode& code, const VatSettings& settings)
{
    VatSummaryRow row;
    row.code = code.code;
    row.amount = amount;
    row.surcharge = code.noSurcharge ? core::Currency() : percentOf(amount, settings.surchargePercent);
    row.taxable = row.amount + row.surcharge;
    row.tax = percentOf(row.taxable, code.rate);
    row.total = row.taxable + row.tax;
    if (!code.noWithholding) {
        const core::Currency base = settings.withholdingOnSurcharge ? row.taxable : row.amount;
        // base x share x percent / 10000 in one double product, rounded once.
        row.withholding = core::Currency::fromDouble(core::roundHalfEven(
            base.toDouble() * settings.withholdingBasePercent * settings.withholdingPercent / 10000.0, 2));
    }
    return row;
}

DocumentTotals computeTotals(const QVector<VatSummaryRow>& rows)
{
    DocumentTotals t;
    for (const VatSummaryRow& r : rows) {
        t.amount += r.amount;
        t.surcharge += r.surcharge;
        t.taxable += r.taxable;
        t.tax += r.tax;
        t.total += r.total;
        t.withholding += r.withholding;
    }
    t.net = t.total - t.withholding;
    return t;
}

VatSummary computeVatSummary(const QVector<VatLine>& lines, const QVector<VatCode>& codes,
                             const QVector<VatSummaryRow>& existing, const VatSettings& settings)
{
    QHash<QString, core::Currency> sums;
    for (const VatLine& line : lines)
        sums[line.code.toUpper()] += line.total;
    QHash<QString, int> held; // upper-case code -> index into existing
    for (int i = 0; i < existing.size(); ++i)
        held.insert(existing[i].code.toUpper(), i);

    VatSummary summary;
    QSet<QString> inTable;
    for (const VatCode& code : codes) {
        const QString key = code.code.toUpper();
        inTable.insert(key);
        const core::Currency amount = sums.value(key);
        const bool hasRow = held.contains(key);
        // A code whose lines cancel out has nothing to show; one that adds up to
        // less than zero (a discount under a code of its own) keeps its row with
        // its negative figures, or the total would not be the sum of the lines.
        if (amount == core::Currency()) {
            if (hasRow) {
                VatSummaryRow gone;
                gone.code = existing[held.value(key)].code;
                summary.changes.push_back({VatRowAction::Remove, gone});
            }
            continue;
        }
        const VatSummaryRow row = computeVatRow(amount, code, settings);
        summary.changes.push_back({hasRow ? VatRowAction::Update : VatRowAction::Add, row});
        summary.rows.push_back(row);
    }
    for (const VatSummaryRow& row : existing) {
        if (!inTable.contains(row.code.toUpper()))
            summary.rows.push_back(row);
    }
    summary.totals = computeTotals(summary.rows);
    return summary;
}
