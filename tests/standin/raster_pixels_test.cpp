// Output to 16- and 32-bit targets by their masks, and the packing helpers
// the device uses for clears.
#include <gtest/gtest.h>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

using standin::raster::PackColor;
using standin::raster::PackDepth;
using standin::raster::UnpackColor;

struct OutputCase {
    const char* name;
    PixelFormat format;
    uint32_t diffuse, before, after;
};

// Channels round to their width: green 0x40 is 15.8 of 63 and 7.8 of 31,
// blue 0x20 is 3.9 of 31 and 1.9 of 15, alpha 0x80 is 0.502 of 1.
TEST(Output, PixelsAreWrittenByTheTargetsMasks)
{
    const OutputCase cases[] = {
        {"A8R8G8B8", kArgb8888, 0x80FF4020, 0, 0x80FF4020},
        {"X8R8G8B8 keeps its unused byte", kXrgb8888, 0x80FF4020, 0xAB000000, 0xABFF4020},
        {"R5G6B5", kRgb565, 0x80FF4020, 0, 0xFA04},
        {"X1R5G5B5 keeps its unused bit", kXrgb1555, 0x80FF4020, 0x8000, 0xFD04},
        {"A1R5G5B5 alpha at one half", kArgb1555, 0x80FF4020, 0, 0xFD04},
        {"A1R5G5B5 alpha below one half", kArgb1555, 0x7FFF4020, 0x8000, 0x7D04},
        {"A4R4G4B4", kArgb4444, 0x80FF4020, 0, 0x8F42},
    };
    DeviceState state = standin::raster::DefaultDeviceState(false);
    SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    SetStage(state, 0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    SetStage(state, 0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    SetStage(state, 0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    for (const OutputCase& c : cases) {
        // An odd row padding: pixels start on no particular boundary.
        Image target(3, 3, c.format, 2);
        target.Fill(c.before);
        ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Quad(3, 3, c.diffuse)));
        for (uint32_t y = 0; y < 3; ++y) {
            for (uint32_t x = 0; x < 3; ++x) {
                EXPECT_EQ(c.after, target.Raw(x, y)) << c.name << " at " << x << "," << y;
            }
        }
        EXPECT_TRUE(target.GuardsIntact()) << c.name;
    }
}

TEST(Output, PackingHelpersRoundAsDrawingDoes)
{
    EXPECT_EQ(0xFA04u, PackColor(kRgb565, 0xFFFF4020));
    EXPECT_EQ(0x8F42u, PackColor(kArgb4444, 0x80FF4020));
    EXPECT_EQ(0x7FFFu, PackColor(kXrgb1555, 0xFFFFFFFF));  // no alpha bit to set
    // 16 of 63 is 64.8 steps, 4 of 31 is 32.9
    EXPECT_EQ(0xFFFF4121u, UnpackColor(kRgb565, 0xFA04));
    EXPECT_EQ(0xFF123456u, UnpackColor(kXrgb8888, 0x00123456));

    DepthSurface d16{nullptr, 0, 1, 1, 16, 0xFFFF};
    DepthSurface d24s8{nullptr, 0, 1, 1, 32, 0xFFFFFF00};
    EXPECT_EQ(0xFFFFu, PackDepth(d16, 1.0f));
    EXPECT_EQ(0x8000u, PackDepth(d16, 0.5f));
    EXPECT_EQ(0xFFFFFF00u, PackDepth(d24s8, 1.0f));
    EXPECT_EQ(0xFFFFu, PackDepth(d16, 2.0f));
    EXPECT_EQ(0u, PackDepth(d16, -1.0f));
}

}  // namespace
}  // namespace rastertest
