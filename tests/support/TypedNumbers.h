#pragma once

#include <optional>
#include <vector>

// Texts a person types into an amount or percentage box, what the box shows
// once they are typed (a refused key has no effect), and the number the box
// stands for when it is left; none: the box refuses the text and keeps the focus.
struct TypedNumber {
    const char* typed;
    const char* shown;
    std::optional<double> value;
};

inline const std::vector<TypedNumber>& typedNumbers()
{
    static const std::vector<TypedNumber> cases{
        {"1.200,00", "1.200,00", 1200.0}, // a point before three digits groups thousands
        {"1.200", "1.200", 1200.0},
        {"2.345.678,9", "2.345.678,9", 2345678.9},
        {"12.5", "12.5", 12.5}, // any other point is the decimal comma
        {"0.50", "0.50", 0.5},
        {"12,5", "12,5", 12.5},
        {"100", "100", 100.0},
        {"12a-,5", "12,5", 12.5},     // letters and signs have no effect
        {"1,2,3", "1,23", 1.23},      // nor a second comma
        {"1.2.3", "1.23", 1.23},      // nor a point that groups nothing
        {"1.2,5", "1.25", 1.25},      // nor a comma after a decimal point
        {"1.200.5", "1.200.5", {}},   // thousands grouped wrongly
    };
    return cases;
}
