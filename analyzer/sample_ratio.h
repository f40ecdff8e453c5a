#pragma once

// Stretching or squeezing of the frame height so that width : height matches the display ratio.
struct PixelAspect {
    double factor = 1.0;  // exactly 1.0 when no correction applies
    int scaledHeight = 0;
};

// Correction of a width x height stream shown at displayRatio (width / height, above 0). Ratios within
// 1 % of the stream's own leave it alone; otherwise the height becomes height / factor, truncated.
// Throws std::range_error when that height does not lie in 1 .. INT_MAX.
PixelAspect ComputePixelAspect(int width, int height, double displayRatio);
