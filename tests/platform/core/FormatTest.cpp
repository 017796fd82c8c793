#include "platform/core/Format.h"

#include "platform/core/Currency.h"
#include "platform/core/Variant.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <clocale>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using core::Currency;
using core::Variant;

namespace {

// Every table runs under locales whose separators differ from the Italian ones,
// to show that the machine's settings never leak into the text.
enum class MachineLocale { English, CLocale };

class ItalianFormat : public ::testing::TestWithParam<MachineLocale> {
protected:
    void SetUp() override
    {
        m_savedQt = QLocale();
        if (const char* current = std::setlocale(LC_ALL, nullptr))
            m_savedC = current;
        if (GetParam() == MachineLocale::English) {
            QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
            std::setlocale(LC_ALL, "en_US.UTF-8"); // may be missing; the Qt default still differs
        } else {
            QLocale::setDefault(QLocale::c());
            std::setlocale(LC_ALL, "C");
        }
    }
    void TearDown() override
    {
        QLocale::setDefault(m_savedQt);
        std::setlocale(LC_ALL, m_savedC.c_str());
    }

private:
    QLocale m_savedQt;
    std::string m_savedC = "C";
};

struct FormatCase {
    Variant value;
    const char* pattern;
    const char* expected;
};

void expectCases(const std::vector<FormatCase>& cases)
{
    for (const auto& c : cases) {
        EXPECT_EQ(core::format(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected))
            << "value " << c.value.debugString().toStdString() << ", pattern \"" << c.pattern << "\"";
    }
}

const QDateTime kAfternoon(QDate(2026, 12, 10), QTime(14, 5, 9)); // a Thursday

} // namespace

TEST_P(ItalianFormat, AmountPatternsWithSections)
{
    const char* screen = "#,##0.00;-#,##0.00;0.00";
    const char* print = "#,##0.00;-#,##0.00; ";
    expectCases({
        {1234.5, screen, "1.234,50"},
        {-3.0, screen, "-3,00"},
        {0.0, screen, "0,00"},
        {-1234567.891, screen, "-1.234.567,89"},
        {0.0, print, " "},
        {-0.001, print, " "}, // rounds to zero: the zero section, not "-0,00"
        {0.004, print, " "},
        {987654.321, print, "987.654,32"},
        {Currency::fromRaw(12345678900), screen, "1.234.567,89"},
        {Currency::fromRaw(-250), screen, "-0,03"}, // -0.025, half away from zero
        {Variant(std::int32_t(42)), screen, "42,00"},
        {Variant::null(), screen, ""},
        {Variant(), screen, ""},
        {Variant(QStringLiteral("1.234,5")), screen, "1.234,50"}, // text that reads as a number
        {Variant(QStringLiteral("abc")), screen, "abc"},
    });
}

TEST_P(ItalianFormat, NumericPlaceholdersAndLiterals)
{
    expectCases({
        // Document number: Null shows the fourth section, zero shows nothing.
        {Variant::null(), "#;#;#;-", "-"},
        {Variant(std::int32_t(0)), "#;#;#;-", ""},
        {Variant(std::int32_t(17)), "#;#;#;-", "17"},
        // Rounding is half away from zero on the shown digits.
        {1.005, "0.00", "1,01"},
        {2.675, "0.00", "2,68"},
        {0.125, "0.00", "0,13"},
        {-0.125, "0.00", "-0,13"},
        {-0.001, "0.00", "0,00"},
        {0.5, "#,##0", "1"},
        {1234567.0, "#,##0", "1.234.567"},
        {999.999, "#,##0.00", "1.000,00"},
        // Quantities and unit prices of the service list.
        {0.0, "#,#", ""},
        {1234.0, "#,#", "1.234"},
        {0.5, "#,#.00", ",50"},
        {1234.5, "#,#.00", "1.234,50"},
        {2.5, "0.##", "2,5"},
        {3.0, "0.##", "3,"},
        // Percent multiplies by 100.
        {0.125, "0%", "13%"},
        {0.04, "0.00%", "4,00%"},
        // Digit padding and literals, as for the printer slot names.
        {Variant(std::int32_t(1)), "000", "001"},
        {Variant(std::int32_t(2)), "\\D000", "D002"},
        {Variant(std::int32_t(12345)), "000", "12345"},
        {5.0, "\"€ \"#,##0.00", "€ 5,00"},
        {5.0, "0.00 \"EUR\"", "5,00 EUR"},
        {Variant(std::int32_t(5551234)), "000-0000", "555-1234"},
        {1234.5, "0.00E+00", "1,23E+03"},
        {0.000123, "0.0E-00", "1,2E-04"},
        {Variant(true), "0", "-1"},
    });
}

TEST_P(ItalianFormat, DatePatterns)
{
    const Variant afternoon(kAfternoon);
    const Variant newYearsEve(QDate(2026, 12, 31));
    expectCases({
        {afternoon, "dd/mm/yyyy", "10/12/2026"},
        {afternoon, "dd\\/mm\\/yy", "10/12/26"},
        {afternoon, "mm/dd/yyyy", "12/10/2026"},
        {newYearsEve, "\\#mm\\/dd\\/yy\\#", "#12/31/26#"},
        {Variant(QDate(2024, 3, 5)), "mm\\/dd\\/yyyy", "03/05/2024"},
        {Variant(QDate(2024, 3, 5)), "d", "5"},
        {Variant(QDate(2024, 3, 5)), "dd", "05"},
        {afternoon, "ddd", "gio"},
        {afternoon, "dddd", "giovedì"},
        {Variant(QDate(2026, 12, 13)), "dddd", "domenica"},
        {afternoon, "mmm", "dic"},
        {afternoon, "mmmm", "dicembre"},
        {Variant(QDate(2026, 1, 1)), "mmmm", "gennaio"},
        {afternoon, "yy", "26"},
        {afternoon, "yyyy", "2026"},
        {afternoon, "d mmmm yyyy", "10 dicembre 2026"},
        {afternoon, "DD/MM/YYYY", "10/12/2026"},
        // "m" after an hour is minutes.
        {afternoon, "hh:nn:ss", "14:05:09"},
        {afternoon, "hh:mm", "14:05"},
        {afternoon, "h:mm AM/PM", "2:05 PM"},
        {afternoon, "dd/mm/yyyy hh:mm", "10/12/2026 14:05"},
        {Variant(QDate(2026, 2, 9)), "q", "1"},
        {Variant::null(), "dd/mm/yyyy", ""},
        {Variant(QStringLiteral("10/12/26")), "dddd", "giovedì"},
        {Variant(QStringLiteral("nessuna")), "dd/mm/yyyy", "nessuna"},
    });
}

TEST_P(ItalianFormat, NamedFormats)
{
    const Variant afternoon(kAfternoon);
    expectCases({
        {afternoon, "Short Date", "10/12/2026"},
        {afternoon, "Long Date", "giovedì 10 dicembre 2026"},
        {afternoon, "Medium Date", "10-dic-26"},
        {afternoon, "Short Time", "14:05"},
        {afternoon, "Long Time", "14:05:09"},
        {afternoon, "General Date", "10/12/2026 14:05:09"},
        {1234.5, "Currency", "€ 1.234,50"},
        {-1234.5, "Currency", "-€ 1.234,50"},
        {1234.567, "Fixed", "1234,57"},
        {1234.567, "Standard", "1.234,57"},
        {0.125, "Percent", "12,50%"},
        {1234.5, "General Number", "1234,5"},
        {0.0, "Yes/No", "No"},
        {Variant(std::int32_t(3)), "Yes/No", "Sì"},
        {1.0, "True/False", "Vero"},
        {Variant::null(), "Currency", ""},
    });
}

TEST_P(ItalianFormat, DefaultTextWithoutPattern)
{
    expectCases({
        {12.5, "", "12,5"},
        {0.1, "", "0,1"},
        {-3.0, "", "-3"},
        {1e20, "", "1E+20"},
        {Variant(std::int32_t(1234567)), "", "1234567"},
        {Currency::fromRaw(12345000), "", "1234,5"},
        {Variant(true), "", "Vero"},
        {Variant(false), "", "Falso"},
        {Variant(QDate(2026, 12, 10)), "", "10/12/2026"},
        {Variant(kAfternoon), "", "10/12/2026 14:05:09"},
        {Variant(QStringLiteral("testo")), "", "testo"},
        {Variant::null(), "", ""},
        {Variant(), "", ""},
    });
}

TEST_P(ItalianFormat, ParsesItalianNumbers)
{
    const struct {
        const char* text;
        std::optional<double> expected;
    } cases[] = {
        {"1.234,56", 1234.56}, {"12,5", 12.5},    {"-3", -3.0},     {" 7 ", 7.0},
        {",5", 0.5},           {"+4", 4.0},       {"1.234.567", 1234567.0}, {"0,00", 0.0},
        {"abc", std::nullopt}, {"1,2,3", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
        {"1.5", std::nullopt}, {"12.34,5", std::nullopt}, {"1,2.3", std::nullopt}, {"1 234", std::nullopt},
        {"12.5", std::nullopt}, // never the English decimal point
    };
    for (const auto& c : cases) {
        const auto parsed = core::parseItalianNumber(QString::fromUtf8(c.text));
        ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.text;
        if (parsed) {
            EXPECT_DOUBLE_EQ(*parsed, *c.expected) << c.text;
        }
    }
}

TEST_P(ItalianFormat, ReadsNumbersAsTheyAreTyped)
{
    const struct {
        const char* text;
        std::optional<double> expected;
    } cases[] = {
        {"1.200,00", 1200.0},  {"1.200", 1200.0},      {"1.234.567,89", 1234567.89}, {"12,5", 12.5},
        {"12.5", 12.5},        {"1.2345", 1.2345},     {"0.125", 0.125},             {".5", 0.5},
        {"1.", 1.0},           {"-1.5", -1.5},         {" 22,50 ", 22.5},            {"0", 0.0},
        {"1,2,3", std::nullopt}, {"1.20,5", std::nullopt}, {"1.2.3", std::nullopt}, {"1,5.2", std::nullopt},
        {"1234.567", std::nullopt}, {"12.345.6", std::nullopt}, {".", std::nullopt}, {"", std::nullopt},
        {"1.2,", std::nullopt}, {"abc", std::nullopt},  {"1 200", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto parsed = core::parseTypedNumber(QString::fromUtf8(c.text));
        ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.text;
        if (parsed) {
            EXPECT_DOUBLE_EQ(*parsed, *c.expected) << c.text;
        }
    }
}

TEST_P(ItalianFormat, ParsesItalianDates)
{
    const struct {
        const char* text;
        QDate expected; // invalid: refused
    } cases[] = {
        {"10/12/2026", QDate(2026, 12, 10)}, {"10/12/26", QDate(2026, 12, 10)}, {"1/2/2026", QDate(2026, 2, 1)},
        {"31/12/29", QDate(2029, 12, 31)},   {"1/1/30", QDate(1930, 1, 1)},     {" 10-12-2026 ", QDate(2026, 12, 10)},
        {"31/02/2026", QDate()},             {"2026-12-10", QDate()},           {"12/31/2026", QDate()},
        {"abc", QDate()},                    {"10/12-2026", QDate()},           {"10/12/2026x", QDate()},
    };
    for (const auto& c : cases) {
        const auto parsed = core::parseItalianDate(QString::fromUtf8(c.text));
        ASSERT_EQ(parsed.has_value(), c.expected.isValid()) << c.text;
        if (parsed) {
            EXPECT_EQ(*parsed, c.expected) << c.text;
        }
    }
}

TEST_P(ItalianFormat, FormatsItalianNumbersWithFixedDecimals)
{
    const struct {
        double value;
        int decimals;
        const char* expected;
    } cases[] = {
        {1234.5, 2, "1.234,50"}, {-0.004, 2, "0,00"},   {1234567.891, 0, "1.234.568"},
        {0.5, 0, "1"},           {-1.005, 2, "-1,01"},  {12.0, 3, "12,000"},
        {0.0, 2, "0,00"},        {-987654.3, 1, "-987.654,3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::formatItalianNumber(c.value, c.decimals), QString::fromUtf8(c.expected))
            << c.value << " / " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(MachineLocales, ItalianFormat,
                         ::testing::Values(MachineLocale::English, MachineLocale::CLocale),
                         [](const auto& info) {
                             return info.param == MachineLocale::English ? std::string("English")
                                                                         : std::string("CLocale");
                         });
