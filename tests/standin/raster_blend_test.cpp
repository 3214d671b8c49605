// Alpha blending, one case per factor in each position: the source colour
// comes straight from the diffuse colour, the destination is the pixel
// already there, and each channel is round(255 * (s * fs + d * fd)).
#include <gtest/gtest.h>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

constexpr uint32_t kSource = 0x40C08020;  // (alpha, red, green, blue) = (64, 192, 128, 32)
constexpr uint32_t kDest = 0x804060F0;    // (128, 64, 96, 240)

struct Case {
    DWORD src, dest;
    uint32_t expected;
    uint32_t dest0 = kDest;
};

const Case kCases[] = {
    {D3DBLEND_ONE, D3DBLEND_ZERO, kSource},
    {D3DBLEND_ZERO, D3DBLEND_ONE, kDest},
    // s + d, saturated
    {D3DBLEND_ONE, D3DBLEND_ONE, 0xC0FFE0FF},
    // s * s: (16.1, 144.6, 64.3, 4.0)
    {D3DBLEND_SRCCOLOR, D3DBLEND_ZERO, 0x10914004},
    // s (1 - s): (47.9, 47.4, 63.75, 27.98)
    {D3DBLEND_INVSRCCOLOR, D3DBLEND_ZERO, 0x302F401C},
    // s As + d (1 - As), As = 64: (111.9, 96.1, 104.0, 187.8)
    {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0x706068BC},
    // s (1 - As) + d As: (80.1, 159.9, 119.97, 84.2)
    {D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA, 0x50A07854},
    // s Ad + d (1 - Ad), Ad = 128: (95.9, 128.25, 112.1, 135.6)
    {D3DBLEND_DESTALPHA, D3DBLEND_INVDESTALPHA, 0x60807088},
    // s (1 - Ad): (31.9, 95.6, 63.75, 15.9)
    {D3DBLEND_INVDESTALPHA, D3DBLEND_ZERO, 0x20604010},
    // d Ad: (64.25, 32.1, 48.2, 120.5)
    {D3DBLEND_ZERO, D3DBLEND_DESTALPHA, 0x40203078},
    // s d: (32.1, 48.2, 48.2, 30.1)
    {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, 0x2030301E},
    // s (1 - d): (31.9, 143.8, 79.8, 1.9)
    {D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, 0x20905002},
    // d (1 - s): (95.9, 15.8, 47.8, 209.9)
    {D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR, 0x601030D2},
    // d d: (64.25, 16.1, 36.1, 225.9)
    {D3DBLEND_ZERO, D3DBLEND_DESTCOLOR, 0x401024E2},
    // d (1 - d): (63.75, 47.9, 59.9, 14.1)
    {D3DBLEND_ZERO, D3DBLEND_INVDESTCOLOR, 0x40303C0E},
    // f = min(As, 1 - Ad) = 64/255 for colour, 1 for alpha, plus d:
    // (64 + 128, 48.2 + 64, 32.1 + 96, 8.0 + 240)
    {D3DBLEND_SRCALPHASAT, D3DBLEND_ONE, 0xC07080F8},
    // with Ad = 0xF0 the other side of the minimum wins: f = 15/255
    {D3DBLEND_SRCALPHASAT, D3DBLEND_ZERO, 0x400B0802, 0xF04060F0},
    // the BOTH factors overrule DESTBLEND
    {D3DBLEND_BOTHSRCALPHA, D3DBLEND_ZERO, 0x706068BC},
    {D3DBLEND_BOTHINVSRCALPHA, D3DBLEND_ONE, 0x50A07854},
};

void PrintTo(const Case& c, std::ostream* os) { *os << "src " << c.src << ", dest " << c.dest; }

class Blending : public ::testing::TestWithParam<Case> {
protected:
    DeviceState SelectDiffuse()
    {
        DeviceState state = standin::raster::DefaultDeviceState(false);
        SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        SetStage(state, 0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        SetStage(state, 0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        SetStage(state, 0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        return state;
    }
};

TEST_P(Blending, GivesTheHandComputedColour)
{
    const Case& c = GetParam();
    Image target(2, 2, kArgb8888);
    target.Fill(c.dest0);
    DeviceState state = SelectDiffuse();
    state.render[D3DRENDERSTATE_ALPHABLENDENABLE] = TRUE;
    state.render[D3DRENDERSTATE_SRCBLEND] = c.src;
    state.render[D3DRENDERSTATE_DESTBLEND] = c.dest;
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Quad(2, 2, kSource)));
    EXPECT_EQ(c.expected, target.At(1, 1))
        << "src " << c.src << " dest " << c.dest << ": 0x" << std::hex << target.At(1, 1);
}

INSTANTIATE_TEST_SUITE_P(Factors, Blending, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return "src" + std::to_string(info.param.src) + "_dest" +
                                    std::to_string(info.param.dest) + "_" + std::to_string(info.index);
                         });

TEST_F(Blending, DisabledBlendingWritesTheSourceWhateverTheFactors)
{
    Image target(2, 2, kArgb8888);
    target.Fill(kDest);
    DeviceState state = SelectDiffuse();
    state.render[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ZERO;
    state.render[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ONE;
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Quad(2, 2, kSource)));
    EXPECT_EQ(kSource, target.At(0, 0));
}

// A target without alpha reads as alpha 1: DESTALPHA keeps the source whole
// and INVDESTALPHA drops the destination; the unused top byte is not written.
TEST_F(Blending, TargetWithoutAlphaHasDestinationAlphaOne)
{
    Image target(2, 2, kXrgb8888);
    target.Fill(0x5A4060F0);
    DeviceState state = SelectDiffuse();
    state.render[D3DRENDERSTATE_ALPHABLENDENABLE] = TRUE;
    state.render[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_DESTALPHA;
    state.render[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_INVDESTALPHA;
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Quad(2, 2, kSource)));
    EXPECT_EQ(0x5AC08020u, target.Raw(0, 0));
}

}  // namespace
}  // namespace rastertest
