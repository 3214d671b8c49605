// The depth test: every comparison, depth writes, clipping to [0, 1], when
// the test is off, Z-buffer layouts, and how depth is interpolated; and the
// alpha test, which compares the same way before depth is written.
#include <gtest/gtest.h>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

constexpr uint32_t kColour = 0xFF336699;

DeviceState DepthStates(DWORD zfunc = D3DCMP_LESSEQUAL)
{
    DeviceState state = standin::raster::DefaultDeviceState(true);
    SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    SetStage(state, 0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    SetStage(state, 0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    SetStage(state, 0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    state.render[D3DRENDERSTATE_ZFUNC] = zfunc;
    return state;
}

// D16 cleared to 0.5 holds 32768 (0.5 * 65535 rounded up); fragments at
// 0.25, 0.5 and 0.75 become 16384, 32768 and 49151.
TEST(Depth, EveryComparisonAgainstTheStoredDepth)
{
    struct Case {
        DWORD zfunc;
        bool passes[3];  // for z below, equal to, above the stored depth
    };
    const Case cases[] = {
        {D3DCMP_NEVER, {false, false, false}},      {D3DCMP_LESS, {true, false, false}},
        {D3DCMP_EQUAL, {false, true, false}},       {D3DCMP_LESSEQUAL, {true, true, false}},
        {D3DCMP_GREATER, {false, false, true}},     {D3DCMP_NOTEQUAL, {true, false, true}},
        {D3DCMP_GREATEREQUAL, {false, true, true}}, {D3DCMP_ALWAYS, {true, true, true}},
    };
    const float z[3] = {0.25f, 0.5f, 0.75f};
    const uint32_t word[3] = {16384, 32768, 49151};
    for (const Case& c : cases) {
        for (int i = 0; i < 3; ++i) {
            Image target(2, 2, kArgb8888);
            DepthImage depth(2, 2);
            depth.Clear(0.5f);
            ASSERT_EQ(32768u, depth.Word(0, 0));
            ASSERT_EQ(D3D_OK, DrawStrip(DepthStates(c.zfunc), target, &depth, Quad(2, 2, kColour, 0, z[i])));
            EXPECT_EQ(c.passes[i] ? kColour : 0u, target.Raw(1, 1)) << "zfunc " << c.zfunc << " z " << z[i];
            EXPECT_EQ(c.passes[i] ? word[i] : 32768u, depth.Word(1, 1))
                << "zfunc " << c.zfunc << " z " << z[i];
        }
    }
}

TEST(Depth, WriteDisabledKeepsTheStoredDepth)
{
    Image target(2, 2, kArgb8888);
    DepthImage depth(2, 2);
    depth.Clear(0.5f);
    DeviceState state = DepthStates();
    state.render[D3DRENDERSTATE_ZWRITEENABLE] = FALSE;
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, &depth, Quad(2, 2, kColour, 0, 0.25f)));
    EXPECT_EQ(kColour, target.Raw(0, 0));
    EXPECT_EQ(32768u, depth.Word(0, 0));
}

// Pre-transformed vertices are clipped to z in [0, 1] unless the draw says
// D3DDP_DONOTCLIP; then z is clamped into the buffer's range.
TEST(Depth, FragmentsOutsideTheDepthRangeAreClippedUnlessTheDrawSaysNot)
{
    struct Case {
        float z;
        DWORD zfunc, flags;
        bool drawn;
        uint32_t word;
    };
    const Case cases[] = {
        {1.5f, D3DCMP_ALWAYS, 0, false, 32768},
        {-0.5f, D3DCMP_ALWAYS, 0, false, 32768},
        {1.0f, D3DCMP_ALWAYS, 0, true, 0xFFFF},
        {0.0f, D3DCMP_ALWAYS, 0, true, 0},
        {-0.5f, D3DCMP_LESSEQUAL, D3DDP_DONOTCLIP, true, 0},
        {1.5f, D3DCMP_ALWAYS, D3DDP_DONOTCLIP, true, 0xFFFF},
        {1.5f, D3DCMP_LESSEQUAL, D3DDP_DONOTCLIP, false, 32768},  // 1.0 is not <= 0.5
    };
    for (const Case& c : cases) {
        Image target(2, 2, kArgb8888);
        DepthImage depth(2, 2);
        depth.Clear(0.5f);
        ASSERT_EQ(D3D_OK,
                  DrawStrip(DepthStates(c.zfunc), target, &depth, Quad(2, 2, kColour, 0, c.z), c.flags));
        EXPECT_EQ(c.drawn ? kColour : 0u, target.Raw(0, 0)) << "z " << c.z << " flags " << c.flags;
        EXPECT_EQ(c.word, depth.Word(0, 0)) << "z " << c.z << " flags " << c.flags;
    }
}

// Without a depth test neither the comparison nor the range applies, and
// the Z-buffer is not touched.
TEST(Depth, NoTestWhenZEnableIsOffTheBufferIsMissingOrSmallerThanTheTarget)
{
    enum class Setup { ZEnableOff, NoBuffer, SmallerBuffer };
    for (Setup setup : {Setup::ZEnableOff, Setup::NoBuffer, Setup::SmallerBuffer}) {
        Image target(2, 2, kArgb8888);
        DepthImage depth(setup == Setup::SmallerBuffer ? 1 : 2, 2);
        depth.Clear(0.5f);
        DeviceState state = DepthStates(D3DCMP_NEVER);
        if (setup == Setup::ZEnableOff) {
            state.render[D3DRENDERSTATE_ZENABLE] = D3DZB_FALSE;
        }
        DepthImage* buffer = setup == Setup::NoBuffer ? nullptr : &depth;
        ASSERT_EQ(D3D_OK, DrawStrip(state, target, buffer, Quad(2, 2, kColour, 0, 1.5f)));
        EXPECT_EQ(kColour, target.Raw(1, 1)) << static_cast<int>(setup);
        EXPECT_EQ(32768u, depth.Word(0, 0)) << static_cast<int>(setup);
    }
}

TEST(Depth, LayoutsKeepTheBitsOutsideTheirZMask)
{
    struct Case {
        const char* name;
        uint32_t bitDepth, zMask, before, after;
    };
    // z 0.25 is 0x40000000 of 32 bits and 0x400000 of 24.
    const Case cases[] = {
        {"D32", 32, 0xFFFFFFFF, 0xFFFFFFFF, 0x40000000},
        {"D24S8", 32, 0xFFFFFF00, 0xFFFFFF5A, 0x4000005A},
        {"X8D24", 24, 0x00FFFFFF, 0xA5FFFFFF, 0xA5400000},
        {"D15S1", 16, 0xFFFE, 0xFFFF, 0x4001},
    };
    for (const Case& c : cases) {
        Image target(2, 2, kArgb8888);
        DepthImage depth(2, 2, c.bitDepth, c.zMask);
        depth.FillWords(c.before);
        ASSERT_EQ(D3D_OK, DrawStrip(DepthStates(), target, &depth, Quad(2, 2, kColour, 0, 0.25f)));
        EXPECT_EQ(c.after, depth.Word(0, 0)) << c.name << ": 0x" << std::hex << depth.Word(0, 0);
        EXPECT_EQ(kColour, target.Raw(0, 0)) << c.name;
    }
}

TEST(Depth, StencilBitsDoNotTakePartInTheComparison)
{
    Image target(2, 2, kArgb8888);
    DepthImage depth(2, 2, 32, 0xFFFFFF00);
    depth.FillWords(0x400000FF);  // z 0.25, stencil 0xFF
    ASSERT_EQ(D3D_OK, DrawStrip(DepthStates(D3DCMP_EQUAL), target, &depth, Quad(2, 2, kColour, 0, 0.25f)));
    EXPECT_EQ(kColour, target.Raw(0, 0));
}

// z was divided by w before the vertices were handed over, so it runs
// linearly across the screen whatever rhw says: 0.5 halfway, not the 0.2
// a perspective weighting would give.
TEST(Depth, DepthIsInterpolatedLinearlyOnScreen)
{
    Image target(8, 1, kArgb8888);
    DepthImage depth(8, 1);
    depth.Clear(1.0f);
    std::array<TLVertex, 4> quad = Quad(8, 1, kColour, 0, 0.0f);
    quad[2].z = quad[3].z = 1.0f;
    quad[2].rhw = quad[3].rhw = 0.25f;
    ASSERT_EQ(D3D_OK, DrawStrip(DepthStates(D3DCMP_ALWAYS), target, &depth, quad));
    EXPECT_EQ(32768u, depth.Word(4, 0));
    EXPECT_EQ(16384u, depth.Word(2, 0));
}

// The fragment's alpha, as a byte, against ALPHAREF 0x80. A fragment the
// alpha test rejects writes neither colour nor depth.
TEST(AlphaTest, EveryComparisonAgainstTheReference)
{
    struct Case {
        DWORD func;
        bool passes[3];  // for alpha 0x7F, 0x80, 0x81
    };
    const Case cases[] = {
        {D3DCMP_NEVER, {false, false, false}},      {D3DCMP_LESS, {true, false, false}},
        {D3DCMP_EQUAL, {false, true, false}},       {D3DCMP_LESSEQUAL, {true, true, false}},
        {D3DCMP_GREATER, {false, false, true}},     {D3DCMP_NOTEQUAL, {true, false, true}},
        {D3DCMP_GREATEREQUAL, {false, true, true}}, {D3DCMP_ALWAYS, {true, true, true}},
    };
    const uint32_t colours[3] = {0x7F336699, 0x80336699, 0x81336699};
    for (const Case& c : cases) {
        for (int i = 0; i < 3; ++i) {
            Image target(2, 2, kArgb8888);
            DepthImage depth(2, 2);
            depth.Clear(1.0f);
            DeviceState state = DepthStates();
            state.render[D3DRENDERSTATE_ALPHATESTENABLE] = TRUE;
            state.render[D3DRENDERSTATE_ALPHAFUNC] = c.func;
            state.render[D3DRENDERSTATE_ALPHAREF] = 0x80;
            ASSERT_EQ(D3D_OK, DrawStrip(state, target, &depth, Quad(2, 2, colours[i], 0, 0.5f)));
            EXPECT_EQ(c.passes[i] ? colours[i] : 0u, target.Raw(0, 0)) << "func " << c.func << " case " << i;
            EXPECT_EQ(c.passes[i] ? 0x8000u : 0xFFFFu, depth.Word(0, 0))
                << "func " << c.func << " case " << i;
        }
    }
}

}  // namespace
}  // namespace rastertest
