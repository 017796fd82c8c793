#pragma once

#include "domain/VatSummary.h"
#include "platform/core/Currency.h"

#include <QString>
#include <functional>
#include <optional>

// The net amount due agreed with the client, reached by changing the unit
// price of one detail line: the difference is worked back through VAT,
// surcharge and withholding, the price rounded to cents, and one cent of
// correction tried when the rounding of the summary misses the amount.

// The line that carries the change, as the document holds it.
struct AgreedAmountLine {
    QString vatCode;        // fdtCodiceIVA
    double quantity = 0.0;  // fdtQuanti
    core::Currency total;   // fdtTotRiga
};

enum class AgreedAmountRefusal {
    None,
    NotPositive,    // an agreed net of 0 or less
    TooLarge,       // more than a layout prints
    NoVatCode,      // the line has no VAT code
    UnknownVatCode, // its code is not in the VAT-code table
    ZeroQuantity,   // the price cannot move a line of quantity 0
    ZeroDivisor,    // the settings make the net independent of the line
    NegativePrice,  // the other lines already exceed the agreed amount
    OutOfRange,     // the price would be more than a layout prints
};

// The largest amount the document layouts print (999.999.999,99).
core::Currency largestPrintableAmount();

// What the user is told when the amount or the line cannot take the change ("" for None).
QString agreedAmountRefusalText(AgreedAmountRefusal refusal);

// The amount on its own: more than zero and no more than a layout prints.
AgreedAmountRefusal checkAgreedAmount(core::Currency agreed);

// The change of the net amount due per unit change of the line's amount.
double agreedAmountDivisor(const VatCode& code, const VatSettings& settings);

// The unit price that moves the net from `net` to `agreed`: the difference
// over the divisor as currency, added to the line total, over the quantity,
// rounded to cents (ties to even).
core::Currency agreedUnitPrice(core::Currency agreed, core::Currency net, const AgreedAmountLine& line, double divisor);

struct AgreedAmountOutcome {
    AgreedAmountRefusal refusal = AgreedAmountRefusal::None;
    core::Currency unitPrice;  // the price left on the line
    core::Currency net;        // the net due the document reached
    bool corrected = false;    // the one-cent step was taken
};

// Checks the amount and the line first and changes nothing when they cannot
// take the change (a price below zero included).
// Otherwise gives the line its new price through `applyPrice`, which writes
// the unit price into the line, recomputes the document and returns its net
// due; when that net misses `agreed`, one more call moves the price by one
// cent towards it, and no further step is taken.
// `code` is the line's VAT code as the table holds it (nullopt when missing).
AgreedAmountOutcome solveAgreedAmount(core::Currency agreed, core::Currency currentNet, const AgreedAmountLine& line,
                                      const std::optional<VatCode>& code, const VatSettings& settings,
                                      const std::function<core::Currency(core::Currency unitPrice)>& applyPrice);

// What the user is told when the net reached misses the agreed amount ("" when
// it does not): the amount as it was typed, with all its decimals.
QString agreedAmountNearMissText(const AgreedAmountOutcome& outcome, core::Currency agreed);
