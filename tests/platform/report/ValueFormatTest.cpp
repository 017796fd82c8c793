#include "platform/core/Currency.h"
#include "platform/core/Variant.h"
#include "platform/report/ValueFormat.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

struct Case {
    core::Variant value;
    const char* pattern;
    const char* expected;
};

TEST(ValueFormat, PatternsOfTheLayoutsPrintTheItalianWay)
{
    const Case cases[] = {
        {core::Currency::fromRaw(12345678), "#,##0.00;-#,##0.00; ", "1.234,57"},
        {core::Currency::fromRaw(-12345678), "#,##0.00;-#,##0.00; ", "-1.234,57"},
        {core::Currency(), "#,##0.00;-#,##0.00; ", " "},          // zero prints blank
        {core::Currency::fromRaw(62342250), "#,##0.00", "6.234,23"}, // half away from zero
        {6234.225, "#,##0.00", "6.234,23"},
        {0.5, "#,#0.00", "0,50"},
        {1234567.0, "#,#0.00", "1.234.567,00"},
        {std::int32_t(42), "#;#;#;-", "42"},
        {std::int32_t(0), "#;#;#;-", ""},
        {core::Variant::null(), "#;#;#;-", "-"},
        {core::Variant::null(), "#,##0.00", ""},
        {15.0, "#;#;0", "15"},
        {0.0, "#;#;0", "0"},
        {QDate(2024, 3, 5), "dd\\/mm\\/yy", "05/03/24"},
        {QDate(2024, 3, 5), "Short Date", "05/03/2024"},
        {"12,5", "#,##0.00", "12,50"},
        {"testo", "#,##0.00", "testo"},
        {core::Variant(), "#,##0.00", ""},
        {2.5, "", "2,5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(report::formatValue(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected))
            << c.value.debugString().toStdString() << " with " << c.pattern;
}

} // namespace
