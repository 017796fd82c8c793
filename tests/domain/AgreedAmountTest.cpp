#include "domain/AgreedAmount.h"
#include "domain/VatSummary.h"
#include "support/Money.h"

#include "platform/core/Format.h"

#include <QMap>
#include <QVector>
#include <gtest/gtest.h>

namespace {

struct Line {
    QString code;
    double quantity;
    core::Currency price;
};

// A small document: its lines, the VAT-code table and its settings, with the
// net due computed from the lines the way the document keeps its summary.
struct Document {
    QVector<Line> lines;
    QMap<QString, VatCode> codes;
    VatSettings settings;
    int pricesApplied = 0;

    core::Currency net() const
    {
        QMap<QString, core::Currency> sums;
        for (const Line& l : lines)
            sums[l.code] += core::Currency::fromDouble(l.quantity * l.price.toDouble());
        QVector<VatSummaryRow> rows;
        for (auto it = codes.constBegin(); it != codes.constEnd(); ++it) {
            const core::Currency sum = sums.value(it.key());
            if (sum > core::Currency())
                rows.append(computeVatRow(sum, it.value(), settings));
        }
        return computeTotals(rows).net;
    }

    AgreedAmountOutcome agree(core::Currency agreed)
    {
        const Line& first = lines.first();
        AgreedAmountLine line{first.code, first.quantity, core::Currency::fromDouble(first.quantity * first.price.toDouble())};
        std::optional<VatCode> code;
        if (codes.contains(first.code))
            code = codes.value(first.code);
        return solveAgreedAmount(agreed, net(), line, code, settings, [this](core::Currency price) {
            ++pricesApplied;
            lines.first().price = price;
            return net();
        });
    }
};

// Surcharge 4 %, withholding 20 % on 100 % of the amount without the surcharge.
Document professional(QVector<Line> lines)
{
    Document d;
    d.lines = std::move(lines);
    d.codes.insert(QStringLiteral("20"), VatCode{QStringLiteral("20"), 20.0, false, false});
    d.codes.insert(QStringLiteral("22"), VatCode{QStringLiteral("22"), 22.0, false, false});
    d.codes.insert(QStringLiteral("10"), VatCode{QStringLiteral("10"), 10.0, false, false});
    d.codes.insert(QStringLiteral("ES"), VatCode{QStringLiteral("ES"), 0.0, true, true});
    d.settings = VatSettings{4.0, 20.0, 100.0, false};
    return d;
}

} // namespace

TEST(AgreedAmount, ReachesTheAgreedNetOrSaysWhereItStopped)
{
    struct Case {
        const char* what;
        QVector<Line> lines;
        const char* agreed;
        const char* price;
        const char* net;
        bool corrected;
    };
    const QVector<Line> mixed = {{QStringLiteral("22"), 3, money("123.45")},
                                 {QStringLiteral("10"), 2, money("80.15")},
                                 {QStringLiteral("22"), 1, money("49.99")}};
    const Case cases[] = {
        // 52,00 over 1,048 is 49,6183: 1049,62, and the summary lands on 1100,00.
        {"one line at 20 %", {{QStringLiteral("20"), 1, money("1000")}}, "1100", "1049.62", "1100", false},
        // 650,02 after the first price, 649,99 a cent lower: the net 650,00 cannot be reached.
        {"three lines, two codes", mixed, "650", "138.86", "649.99", true},
        {"agreed equal to the net", {{QStringLiteral("20"), 1, money("1000")}}, "1048", "1000", "1048", false},
        // The other lines give the agreed amount alone: the first line is worth nothing.
        {"equal to the other lines",
         {{QStringLiteral("20"), 1, money("100")}, {QStringLiteral("20"), 1, money("1000")}},
         "1048",
         "0",
         "1048",
         false},
        // Half a cent below the other lines: the price rounds to 0,00, and the
        // cent of correction would take it below zero.
        {"no correction below zero",
         {{QStringLiteral("ES"), 1, money("100")}, {QStringLiteral("20"), 1, money("1000")}},
         "1047.996",
         "0",
         "1048",
         false},
        {"the largest amount a layout prints", {{QStringLiteral("20"), 1, money("1000")}}, "999999999.99",
         "954198473.27", "999999999.99", false},
        {"a quantity above 1 spreads the change", mixed, "300", "29.70", "299.97", true},
        {"exempt code, no withholding", {{QStringLiteral("ES"), 2, money("50")}}, "250", "125", "250", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document d = professional(c.lines);
        const AgreedAmountOutcome out = d.agree(money(c.agreed));
        EXPECT_EQ(out.refusal, AgreedAmountRefusal::None);
        EXPECT_EQ(out.unitPrice, money(c.price)) << out.unitPrice.toPlainString().toStdString();
        EXPECT_EQ(out.net, money(c.net)) << out.net.toPlainString().toStdString();
        EXPECT_EQ(out.corrected, c.corrected);
        EXPECT_EQ(d.pricesApplied, c.corrected ? 2 : 1);
        EXPECT_EQ(d.lines.first().price, money(c.price));
        // Only the first line moves.
        for (int i = 1; i < d.lines.size(); ++i)
            EXPECT_EQ(d.lines[i].price, c.lines[i].price);
    }
}

TEST(AgreedAmount, ValueOfThreeLinesBeforeTheChange)
{
    Document d = professional({{QStringLiteral("22"), 3, money("123.45")},
                               {QStringLiteral("10"), 2, money("80.15")},
                               {QStringLiteral("22"), 1, money("49.99")}});
    EXPECT_EQ(d.net(), money("600.57"));
}

TEST(AgreedAmount, DivisorFollowsExemptionsAndTheWithholdingBase)
{
    struct Case {
        const char* what;
        VatCode code;
        bool onSurcharge;
        double divisor;
    };
    const Case cases[] = {
        {"surcharge and withholding", {QStringLiteral("20"), 20.0, false, false}, false, 1.2 * 1.04 - 0.2},
        {"withholding on the surcharge too", {QStringLiteral("20"), 20.0, false, false}, true, 1.2 * 1.04 - 0.2 - 0.04 * 0.2},
        {"exempt, no withholding", {QStringLiteral("ES"), 22.0, true, true}, false, 1.22},
        {"no surcharge only", {QStringLiteral("NS"), 10.0, true, false}, true, 1.1 - 0.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DOUBLE_EQ(agreedAmountDivisor(c.code, VatSettings{4.0, 20.0, 100.0, c.onSurcharge}), c.divisor);
    }
}

TEST(AgreedAmount, ALineThatCannotCarryTheChangeIsRefusedBeforeAnythingMoves)
{
    struct Case {
        const char* what;
        Line first;
        VatSettings settings;
        AgreedAmountRefusal refusal;
    };
    const VatSettings usual{4.0, 20.0, 100.0, false};
    const Case cases[] = {
        {"no VAT code", {QString(), 1, money("100")}, usual, AgreedAmountRefusal::NoVatCode},
        {"code not in the table", {QStringLiteral("99"), 1, money("100")}, usual, AgreedAmountRefusal::UnknownVatCode},
        {"quantity 0", {QStringLiteral("20"), 0, money("100")}, usual, AgreedAmountRefusal::ZeroQuantity},
        // Withholding 120 % of the amount: (1 + 0,2) x 1 - 1,2 = 0, no price changes the net.
        {"divisor 0", {QStringLiteral("20"), 1, money("100")}, VatSettings{0.0, 120.0, 100.0, false},
         AgreedAmountRefusal::ZeroDivisor},
        {"price beyond any amount", {QStringLiteral("20"), 1e-12, money("100")}, usual, AgreedAmountRefusal::OutOfRange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document d = professional({c.first, {QStringLiteral("22"), 1, money("10")}});
        d.settings = c.settings;
        const core::Currency before = d.net();
        const AgreedAmountOutcome out = d.agree(money("500"));
        EXPECT_EQ(out.refusal, c.refusal);
        EXPECT_FALSE(agreedAmountRefusalText(out.refusal).isEmpty());
        EXPECT_EQ(d.pricesApplied, 0);
        EXPECT_EQ(d.lines.first().price, c.first.price);
        EXPECT_EQ(out.net, before);
    }
}

TEST(AgreedAmount, AnAmountTheDocumentCannotTakeIsRefusedBeforeAnythingMoves)
{
    struct Case {
        const char* what;
        const char* agreed;
        QVector<Line> lines;
        AgreedAmountRefusal refusal;
        const char* says; // part of the message that tells why
    };
    const QVector<Line> one = {{QStringLiteral("20"), 1, money("1000")}};
    const QVector<Line> two = {{QStringLiteral("20"), 1, money("100")}, {QStringLiteral("20"), 1, money("1000")}};
    const Case cases[] = {
        {"zero", "0", one, AgreedAmountRefusal::NotPositive, "maggiore di zero"},
        {"negative", "-1", one, AgreedAmountRefusal::NotPositive, "maggiore di zero"},
        {"a fraction of a cent below zero", "-0.0001", one, AgreedAmountRefusal::NotPositive, "maggiore di zero"},
        {"beyond what a layout prints", "999999999.9901", one, AgreedAmountRefusal::TooLarge, "999.999.999,99"},
        {"a billion", "1000000000", one, AgreedAmountRefusal::TooLarge, "999.999.999,99"},
        // 1048 is what the second line gives alone: 500 would need -522,90 on the first.
        {"below the other lines", "500", two, AgreedAmountRefusal::NegativePrice, "negativo"},
        {"a cent below the other lines", "1047.99", two, AgreedAmountRefusal::NegativePrice, "negativo"},
        // A thousandth of a unit carries the whole amount: a price no layout prints.
        {"price beyond what a layout prints", "2000000", {{QStringLiteral("20"), 0.001, money("1000")}},
         AgreedAmountRefusal::OutOfRange, "troppo grande"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document d = professional(c.lines);
        const core::Currency before = d.net();
        const AgreedAmountOutcome out = d.agree(money(c.agreed));
        EXPECT_EQ(out.refusal, c.refusal);
        EXPECT_TRUE(agreedAmountRefusalText(out.refusal).contains(QString::fromUtf8(c.says)))
            << agreedAmountRefusalText(out.refusal).toStdString();
        EXPECT_EQ(d.pricesApplied, 0);
        EXPECT_EQ(d.lines.first().price, c.lines.first().price);
        EXPECT_EQ(out.net, before);
    }
    // The amount alone is judged the same way before any document is asked.
    EXPECT_EQ(checkAgreedAmount(money("0")), AgreedAmountRefusal::NotPositive);
    EXPECT_EQ(checkAgreedAmount(money("0.0001")), AgreedAmountRefusal::None);
    EXPECT_EQ(checkAgreedAmount(money("999999999.99")), AgreedAmountRefusal::None);
    EXPECT_EQ(checkAgreedAmount(money("999999999.9901")), AgreedAmountRefusal::TooLarge);
}

TEST(AgreedAmount, ANearMissShowsTheAmountAsItWasTyped)
{
    struct Case {
        const char* agreed;
        const char* says;
    };
    // Up to four decimals are kept: the net, in cents, can only come near them.
    const Case cases[] = {
        {"1250.505", "Il netto dovuto raggiunto è 1.250,51, non 1.250,505:"},
        {"1250.5051", "Il netto dovuto raggiunto è 1.250,51, non 1.250,5051:"},
        {"1100.001", "Il netto dovuto raggiunto è 1.100,01, non 1.100,001:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.agreed);
        Document d = professional({{QStringLiteral("20"), 1, money("1000")}});
        const AgreedAmountOutcome out = d.agree(money(c.agreed));
        ASSERT_EQ(out.refusal, AgreedAmountRefusal::None);
        ASSERT_NE(out.net, money(c.agreed));
        const QString text = agreedAmountNearMissText(out, money(c.agreed));
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.says))) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("Il prezzo della prima riga è ora %1.")
                                      .arg(core::format(core::Variant(out.unitPrice), QStringLiteral("#,##0.00")))))
            << text.toStdString();
    }
    // Reached exactly: nothing to tell.
    Document d = professional({{QStringLiteral("20"), 1, money("1000")}});
    EXPECT_TRUE(agreedAmountNearMissText(d.agree(money("1100")), money("1100")).isEmpty());
}
