#include "domain/VatSummary.h"

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
        // base x share x percent / 10000 in one double product, as the rule reads.
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
