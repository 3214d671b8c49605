// The one rounding rule, checked where it can go wrong: the ends, the
// half-step boundaries and values that are not numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "standin/raster/rounding.h"

namespace {

using standin::raster::RoundToByte;
using standin::raster::RoundToUnorm;

TEST(Rounding, ExactStepsStayOnTheirStep)
{
    for (uint32_t step : {0u, 1u, 127u, 128u, 254u, 255u}) {
        EXPECT_EQ(step, RoundToByte(step / 255.0)) << step;
        EXPECT_EQ(step, RoundToByte(static_cast<float>(step / 255.0))) << step;
    }
}

TEST(Rounding, HalfStepsRoundUp)
{
    const double eps = 1e-6;
    struct Case {
        double steps;  // position in steps of 1/255
        uint32_t below, above;
    };
    const Case cases[] = {{0.5, 0, 1}, {127.5, 127, 128}, {254.5, 254, 255}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.below, RoundToByte(c.steps / 255.0 - eps)) << c.steps;
        EXPECT_EQ(c.above, RoundToByte(c.steps / 255.0 + eps)) << c.steps;
    }
}

TEST(Rounding, OutOfRangeAndNotANumberClamp)
{
    EXPECT_EQ(0u, RoundToByte(-0.25));
    EXPECT_EQ(255u, RoundToByte(1.5));
    EXPECT_EQ(0u, RoundToByte(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(255u, RoundToByte(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(0u, RoundToByte(-std::numeric_limits<double>::infinity()));
}

TEST(Rounding, OtherChannelWidthsUseTheSameRule)
{
    EXPECT_EQ(31u, RoundToUnorm(1.0, 31));
    EXPECT_EQ(16u, RoundToUnorm(64.0 / 255.0, 63));  // 15.8 steps of a 6-bit channel
    EXPECT_EQ(1u, RoundToUnorm(128.0 / 255.0, 1));   // a 1-bit alpha flips at one half
    EXPECT_EQ(0u, RoundToUnorm(127.0 / 255.0, 1));
    EXPECT_EQ(0xFFFFFFFFu, RoundToUnorm(1.0, 0xFFFFFFFFu));
    EXPECT_EQ(0x40000000u, RoundToUnorm(0.25, 0xFFFFFFFFu));
    EXPECT_EQ(0xFFFFFFFFu, RoundToUnorm(std::nextafter(1.0, 0.0), 0xFFFFFFFFu));
}

}  // namespace
