#include "domain/AgreedAmount.h"

#include <cmath>

namespace {

// Far below any divisor real percentages give, far above rounding noise.
constexpr double kSmallestDivisor = 1e-9;
// Amounts beyond this are no price a document carries (and near the end of the currency range).
constexpr double kLargestPrice = 1e12;

} // namespace

QString agreedAmountRefusalText(AgreedAmountRefusal refusal)
{
    const QString head = QStringLiteral("L'importo pattuito non può essere applicato: ");
    switch (refusal) {
    case AgreedAmountRefusal::None:
        return {};
    case AgreedAmountRefusal::NoVatCode:
        return head + QStringLiteral("la prima riga del dettaglio non ha un Codice IVA.");
    case AgreedAmountRefusal::UnknownVatCode:
        return head + QStringLiteral("il Codice IVA della prima riga del dettaglio non è fra i codici IVA.");
    case AgreedAmountRefusal::ZeroQuantity:
        return head + QStringLiteral("la quantità della prima riga del dettaglio è zero.");
    case AgreedAmountRefusal::ZeroDivisor:
        return head
             + QStringLiteral("con le percentuali di rivalsa e ritenuta del documento il netto dovuto non dipende "
                              "dall'importo della prima riga.");
    case AgreedAmountRefusal::OutOfRange:
        return head + QStringLiteral("il prezzo della prima riga del dettaglio diventerebbe troppo grande.");
    }
    return head;
}

double agreedAmountDivisor(const VatCode& code, const VatSettings& settings)
{
    const double iva = code.rate / 100.0;
    const double rp = code.noSurcharge ? 0.0 : settings.surchargePercent / 100.0;
    const double ra = code.noWithholding ? 0.0 : settings.withholdingPercent * settings.withholdingBasePercent / 10000.0;
    if (settings.withholdingOnSurcharge)
        return (1.0 + iva) * (1.0 + rp) - ra - rp * ra;
    return (1.0 + iva) * (1.0 + rp) - ra;
}

core::Currency agreedUnitPrice(core::Currency agreed, core::Currency net, const AgreedAmountLine& line, double divisor)
{
    const core::Currency delta = core::Currency::fromDouble((agreed - net).toDouble() / divisor);
    return core::Currency::fromDouble(core::roundHalfEven((line.total + delta).toDouble() / line.quantity, 2));
}

AgreedAmountOutcome solveAgreedAmount(core::Currency agreed, core::Currency currentNet, const AgreedAmountLine& line,
                                      const std::optional<VatCode>& code, const VatSettings& settings,
                                      const std::function<core::Currency(core::Currency unitPrice)>& applyPrice)
{
    AgreedAmountOutcome out;
    out.net = currentNet;
    if (line.vatCode.trimmed().isEmpty())
        out.refusal = AgreedAmountRefusal::NoVatCode;
    else if (!code)
        out.refusal = AgreedAmountRefusal::UnknownVatCode;
    else if (line.quantity == 0.0 || !std::isfinite(line.quantity))
        out.refusal = AgreedAmountRefusal::ZeroQuantity;
    if (out.refusal != AgreedAmountRefusal::None)
        return out;

    const double k = agreedAmountDivisor(*code, settings);
    if (!std::isfinite(k) || std::fabs(k) < kSmallestDivisor) {
        out.refusal = AgreedAmountRefusal::ZeroDivisor;
        return out;
    }
    // Checked on the double value before any conversion to currency.
    const double delta = (agreed - currentNet).toDouble() / k;
    const double price = (line.total.toDouble() + delta) / line.quantity;
    if (!std::isfinite(price) || std::fabs(price) > kLargestPrice) {
        out.refusal = AgreedAmountRefusal::OutOfRange;
        return out;
    }

    out.unitPrice = agreedUnitPrice(agreed, currentNet, line, k);
    out.net = applyPrice(out.unitPrice);
    if (out.net != agreed) {
        const core::Currency cent = core::Currency::fromRaw(100);
        out.unitPrice = out.net < agreed ? out.unitPrice + cent : out.unitPrice - cent;
        out.corrected = true;
        out.net = applyPrice(out.unitPrice);
    }
    return out;
}
