#include "sample_ratio.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(PixelAspect, StretchesOrSqueezesTheHeightOnly)
{
    struct Case {
        int width, height;
        double ratio;
        double factor;
        int scaledHeight;
    };
    const Case cases[] = {
        {720, 480, 1.333333, 1.333333 / 1.5, 540},
        {720, 576, 1.777778, 1.777778 / 1.25, 404},  // 404.99995 is truncated
        {1920, 1080, 1.777778, 1.0, 1080},          // within 1 %: no correction
        {1440, 1080, 1.777778, 1.777778 / (1440 / 1080.0), 809},  // 809.99995
        {640, 480, 1.3466, 1.0, 480},                 // 0.99 % off: no correction
        {640, 480, 1.35, 1.35 / (640 / 480.0), 474},  // 1.2 % off
    };
    for (const Case& c : cases) {
        const PixelAspect aspect = ComputePixelAspect(c.width, c.height, c.ratio);
        EXPECT_DOUBLE_EQ(aspect.factor, c.factor) << c.width << "x" << c.height << " at " << c.ratio;
        EXPECT_EQ(aspect.scaledHeight, c.scaledHeight) << c.width << "x" << c.height << " at " << c.ratio;
    }
    EXPECT_EQ(ComputePixelAspect(1920, 1080, 1.777778).factor, 1.0);
}

TEST(PixelAspect, RefusesHeightsOutsideTheIntRange)
{
    EXPECT_THROW(ComputePixelAspect(1920, 1080, 1e-300), std::range_error);
    EXPECT_THROW(ComputePixelAspect(1920, 1080, 1e300), std::range_error);
}

}  // namespace
