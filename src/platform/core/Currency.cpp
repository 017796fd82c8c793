#include "platform/core/Currency.h"

#include <cmath>

namespace core {

namespace {

// Ties to even on an already scaled value; a tie is only a tie when the
// fraction is exactly one half in binary.
double roundScaledHalfEven(double scaled)
{
    const double floorValue = std::floor(scaled);
    const double fraction = scaled - floorValue;
    if (fraction > 0.5)
        return floorValue + 1.0;
    if (fraction < 0.5)
        return floorValue;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

} // namespace

double roundHalfEven(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const double factor = std::pow(10.0, decimals);
    // Scaling by a power of ten can turn 0.375 into 37.49999.. or 37.5000..1; scale
    // through long double so exact binary halves stay halves.
    const long double scaled = static_cast<long double>(value) * static_cast<long double>(factor);
    const long double floorValue = std::floor(scaled);
    const long double fraction = scaled - floorValue;
    long double rounded;
    if (fraction > 0.5L)
        rounded = floorValue + 1.0L;
    else if (fraction < 0.5L)
        rounded = floorValue;
    else
        rounded = std::fmod(floorValue, 2.0L) == 0.0L ? floorValue : floorValue + 1.0L;
    return static_cast<double>(rounded / static_cast<long double>(factor));
}

Currency Currency::fromDouble(double value)
{
    if (!std::isfinite(value))
        return Currency();
    return Currency(static_cast<std::int64_t>(roundScaledHalfEven(value * static_cast<double>(kScale))));
}

Currency Currency::roundedToCentsHalfEven() const
{
    const std::int64_t cent = 100; // ten-thousandths per cent
    std::int64_t quotient = m_raw / cent;
    std::int64_t remainder = m_raw % cent;
    if (remainder < 0) {
        remainder += cent;
        quotient -= 1;
    }
    if (remainder > cent / 2 || (remainder == cent / 2 && (quotient % 2 != 0)))
        quotient += 1;
    return Currency(quotient * cent);
}

QString Currency::toPlainString() const
{
    const bool negative = m_raw < 0;
    const std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-(m_raw + 1)) + 1
                                             : static_cast<std::uint64_t>(m_raw);
    QString text = QString::number(magnitude / kScale);
    std::uint64_t fraction = magnitude % kScale;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(4, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return negative ? QLatin1Char('-') + text : text;
}

} // namespace core
