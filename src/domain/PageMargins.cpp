#include "domain/PageMargins.h"

#include <cmath>

std::int32_t marginMillimetres(double twips)
{
    return static_cast<std::int32_t>(std::lround(twips / kTwipsPerMillimetre));
}

std::int32_t marginTwips(std::int32_t millimetres)
{
    return static_cast<std::int32_t>(std::lround(static_cast<double>(millimetres) * kTwipsPerMillimetre));
}

QString marginsProblem(const MarginsMm& margins, double pageWidthTwips, double pageHeightTwips)
{
    for (std::int32_t mm : {margins.right, margins.left, margins.top, margins.bottom})
        if (mm < 0 || mm > kMarginMaxMillimetres)
            return QStringLiteral("Ogni margine deve essere compreso tra 0 e %1 millimetri.").arg(kMarginMaxMillimetres);
    // The page in whole millimetres, as the margins are typed (A4: 210 x 297).
    const auto widthMm = static_cast<std::int32_t>(std::floor(pageWidthTwips / kTwipsPerMillimetre));
    const auto heightMm = static_cast<std::int32_t>(std::floor(pageHeightTwips / kTwipsPerMillimetre));
    if (margins.left + margins.right >= widthMm)
        return QStringLiteral("I margini sinistro e destro insieme devono essere minori della larghezza della pagina (%1 mm).")
            .arg(widthMm);
    if (margins.top + margins.bottom >= heightMm)
        return QStringLiteral("I margini superiore e inferiore insieme devono essere minori dell'altezza della pagina (%1 mm).")
            .arg(heightMm);
    return {};
}
