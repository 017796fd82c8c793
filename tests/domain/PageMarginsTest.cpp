#include "domain/PageMargins.h"

#include <gtest/gtest.h>

namespace {
// A4 portrait, in twips.
constexpr double kWidth = 11906;
constexpr double kHeight = 16838;
} // namespace

TEST(PageMarginsTest, TwipsAndWholeMillimetresUseTheLayoutsConversion)
{
    struct Case {
        double twips;
        std::int32_t mm;
        std::int32_t back; // twips of those millimetres
    };
    const Case cases[] = {
        {0, 0, 0}, {567, 10, 567}, {850, 15, 850}, {1440, 25, 1417}, {1417, 25, 1417}, {11336, 200, 11335},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(marginMillimetres(c.twips), c.mm) << c.twips;
        EXPECT_EQ(marginTwips(c.mm), c.back) << c.twips;
    }
}

TEST(PageMarginsTest, MarginsMustFitThePage)
{
    struct Case {
        MarginsMm m;
        bool fits;
    };
    // A4 is 210 x 297 whole millimetres at 56.677 twips to the millimetre.
    const Case cases[] = {
        {{0, 0, 0, 0}, true},
        {{200, 0, 200, 0}, true},    // each at the widest
        {{200, 9, 0, 0}, true},      // 209 < 210
        {{200, 10, 0, 0}, false},    // 210 is the whole width
        {{0, 0, 200, 96}, true},     // 296 < 297
        {{0, 0, 200, 97}, false},
        {{201, 0, 0, 0}, false},     // over the widest margin
        {{0, 0, 0, -1}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(marginsProblem(c.m, kWidth, kHeight).isEmpty(), c.fits)
            << c.m.right << " " << c.m.left << " " << c.m.top << " " << c.m.bottom;
}
