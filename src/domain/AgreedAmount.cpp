#include "domain/AgreedAmount.h"

#include "platform/core/Format.h"

#include <cmath>

namespace {

// Far below any divisor real percentages give, far above rounding noise.
constexpr double kSmallestDivisor = 1e-9;
// 999.999.999,99 in ten-thousandths: the amount boxes of the layouts hold eleven digits with the cents.
constexpr std::int64_t kLargestPrintableRaw = 9'999'999'999'900;
const QString kFormatoImporti = QStringLiteral("#,##0.00;-#,##0.00;0.00");
// An agreed amount keeps up to four decimals, and shows them all.
const QString kFormatoPattuito = QStringLiteral("#,##0.00##;-#,##0.00##;0.00");

} // namespace

core::Currency largestPrintableAmount()
{
    return core::Currency::fromRaw(kLargestPrintableRaw);
}

QString agreedAmountRefusalText(AgreedAmountRefusal refusal)
{
    const QString head = QStringLiteral("L'importo pattuito non può essere applicato: ");
    switch (refusal) {
    case AgreedAmountRefusal::None:
        return {};
    case AgreedAmountRefusal::NotPositive:
        return head + QStringLiteral("il netto dovuto deve essere maggiore di zero.");
    case AgreedAmountRefusal::TooLarge:
        return head + QStringLiteral("il netto dovuto non può superare ")
             + core::format(core::Variant(largestPrintableAmount()), kFormatoImporti) + QStringLiteral(".");
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
    case AgreedAmountRefusal::NegativePrice:
        return head
             + QStringLiteral("le altre righe del dettaglio danno già un netto dovuto maggiore e il prezzo della "
                              "prima riga diventerebbe negativo.");
    case AgreedAmountRefusal::OutOfRange:
        return head + QStringLiteral("il prezzo della prima riga del dettaglio diventerebbe troppo grande.");
    }
    return head;
}

AgreedAmountRefusal checkAgreedAmount(core::Currency agreed)
{
    if (agreed <= core::Currency())
        return AgreedAmountRefusal::NotPositive;
    if (agreed > largestPrintableAmount())
        return AgreedAmountRefusal::TooLarge;
    return AgreedAmountRefusal::None;
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
    out.refusal = checkAgreedAmount(agreed);
    if (out.refusal != AgreedAmountRefusal::None)
        return out;
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
    if (!std::isfinite(price) || price > largestPrintableAmount().toDouble()) {
        out.refusal = AgreedAmountRefusal::OutOfRange;
        return out;
    }
    const core::Currency unitPrice = agreedUnitPrice(agreed, currentNet, line, k);
    if (unitPrice < core::Currency()) {
        out.refusal = AgreedAmountRefusal::NegativePrice;
        return out;
    }

    out.unitPrice = unitPrice;
    out.net = applyPrice(out.unitPrice);
    const core::Currency cent = core::Currency::fromRaw(100);
    // The cent of correction never takes the price below zero.
    if (out.net != agreed && (out.net < agreed || out.unitPrice >= cent)) {
        out.unitPrice = out.net < agreed ? out.unitPrice + cent : out.unitPrice - cent;
        out.corrected = true;
        out.net = applyPrice(out.unitPrice);
    }
    return out;
}

QString agreedAmountNearMissText(const AgreedAmountOutcome& outcome, core::Currency agreed)
{
    if (outcome.refusal != AgreedAmountRefusal::None || outcome.net == agreed)
        return {};
    // The rounding of surcharge, VAT and withholding leaves no price that gives the amount exactly.
    return QStringLiteral("Il netto dovuto raggiunto è ") + core::format(core::Variant(outcome.net), kFormatoImporti)
         + QStringLiteral(", non ") + core::format(core::Variant(agreed), kFormatoPattuito)
         + QStringLiteral(": con gli arrotondamenti di rivalsa, IVA e ritenuta nessun prezzo della prima "
                          "riga dà esattamente l'importo pattuito.")
         + QStringLiteral("\r\n") + QStringLiteral("Il prezzo della prima riga è ora ")
         + core::format(core::Variant(outcome.unitPrice), kFormatoImporti) + QStringLiteral(".");
}
