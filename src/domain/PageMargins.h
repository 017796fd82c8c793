#pragma once

#include <QString>
#include <cstdint>

// Page margins as the user types them (whole millimetres) and as layouts
// keep them (twips).

// The conversion the layouts were written with (not 1440 / 25.4).
constexpr double kTwipsPerMillimetre = 56.677;
// The widest margin the dialog takes.
constexpr int kMarginMaxMillimetres = 200;

// Whole millimetres, rounded to the nearest (850 twips give 15).
std::int32_t marginMillimetres(double twips);
// Twips of whole millimetres, rounded to the nearest (10 mm give 567).
std::int32_t marginTwips(std::int32_t millimetres);

struct MarginsMm {
    std::int32_t right = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
};

// Empty when the margins fit the page (its width and height in twips);
// otherwise the Italian message that says what is wrong.
QString marginsProblem(const MarginsMm& margins, double pageWidthTwips, double pageHeightTwips);
