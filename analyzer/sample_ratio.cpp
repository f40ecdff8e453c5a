#include "sample_ratio.h"

#include <climits>
#include <cmath>
#include <stdexcept>

PixelAspect ComputePixelAspect(int width, int height, double displayRatio)
{
    const double aspect = static_cast<double>(width) / height;
    if (!(std::fabs(1 - aspect / displayRatio) > 0.01))
        return {1.0, height};
    const double factor = displayRatio / aspect;
    const double scaled = height / factor;
    if (!(scaled >= 1 && scaled <= INT_MAX))
        throw std::range_error("The display ratio makes the working frame height fall outside 1 .. 2147483647!");
    return {factor, static_cast<int>(scaled)};
}
