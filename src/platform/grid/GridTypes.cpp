#include "platform/grid/GridTypes.h"

#include <cmath>

namespace grid {

int twipsToPixels(int twips, int logicalDpi)
{
    return int(std::lround(double(twips) * logicalDpi / 1440.0));
}

int pixelsToTwips(int pixels, int logicalDpi)
{
    return logicalDpi > 0 ? int(std::lround(double(pixels) * 1440.0 / logicalDpi)) : 0;
}

} // namespace grid
