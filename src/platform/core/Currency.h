#pragma once

#include <QString>
#include <compare>
#include <cstdint>

namespace core {

// Fixed-point money in ten-thousandths, as the stored currency columns keep it.
// Sums and differences are exact; conversions from double round half to even
// at the fourth decimal, so a stored amount never drifts by a rounding bias.
class Currency {
public:
    constexpr Currency() = default;

    static constexpr Currency fromRaw(std::int64_t tenThousandths) { return Currency(tenThousandths); }
    static Currency fromDouble(double value);
    static constexpr Currency fromUnits(std::int64_t units) { return Currency(units * kScale); }

    constexpr std::int64_t raw() const { return m_raw; }
    double toDouble() const { return static_cast<double>(m_raw) / kScale; }

    // Rounded to two decimals, ties to even (0.125 -> 0.12, 0.375 -> 0.38).
    Currency roundedToCentsHalfEven() const;

    // Plain text with a dot and up to four decimals, trailing zeros dropped ("12.5", "-3", "0.0001").
    QString toPlainString() const;

    constexpr Currency operator+(Currency o) const { return Currency(m_raw + o.m_raw); }
    constexpr Currency operator-(Currency o) const { return Currency(m_raw - o.m_raw); }
    constexpr Currency operator-() const { return Currency(-m_raw); }
    Currency& operator+=(Currency o) { m_raw += o.m_raw; return *this; }
    Currency& operator-=(Currency o) { m_raw -= o.m_raw; return *this; }
    constexpr auto operator<=>(const Currency&) const = default;

    static constexpr std::int64_t kScale = 10000;

private:
    constexpr explicit Currency(std::int64_t raw) : m_raw(raw) {}
    std::int64_t m_raw = 0;
};

// Round a double to `decimals` places, ties to even, on the double value itself
// (so 0.125 -> 0.12 and 0.375 -> 0.38, exactly representable halves).
double roundHalfEven(double value, int decimals);

} // namespace core
