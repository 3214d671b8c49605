// The probe's frame on the stand-in device: what the reference rasterizer
// leaves in the first pixel of "target01" after each draw, and the verdict
// the probe reads from it.
#include <ostream>

#include "tests/standin/probe_fixture.h"

namespace probetest {
namespace {

void SetFilter(IDirect3DDevice3* device, DWORD magFilter, DWORD minFilter)
{
    for (DWORD stage = 0; stage < 2; ++stage) {
        ASSERT_EQ(D3D_OK, device->SetTextureStageState(stage, D3DTSS_MAGFILTER, magFilter));
        ASSERT_EQ(D3D_OK, device->SetTextureStageState(stage, D3DTSS_MINFILTER, minFilter));
    }
}

class ProbeFrameTest : public ProbeFixture {
protected:
    // Every draw of the frame went into "target01" with the probe's two
    // vertex formats, and the rasterizer accepted both.
    void ExpectTwoDrawsIntoTarget01()
    {
        ASSERT_EQ(drawn.size(), 2u);
        for (size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_EQ(drawn[i].renderTarget, probe->target01) << "draw " << i;
            EXPECT_EQ(drawn[i].result, D3D_OK) << "draw " << i;
            ASSERT_EQ(drawn[i].width, 256u);
            ASSERT_EQ(drawn[i].height, 256u);
        }
        EXPECT_EQ(drawn[0].fvf, DWORD{D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2});
        EXPECT_EQ(drawn[1].fvf, DWORD{D3DFVF_XYZRHW | D3DFVF_TEX2});
    }
};

// ---- the first draw

struct SamplingCase {
    const char* id;
    bool bilinear;  // both stages filter linearly; otherwise the device's default
    uint32_t firstPixel;
};

// At the first pixel: diffuse 0x80FF80DD, factor 0x80908070, texel alpha
// 0xFF. The alpha, 0x24, does not depend on the texel's colour:
//   stage 0  0x80/255 * 128/255 + 1 * 127/255 = 0.752
//   stage 1  x 128/255 = 0.3775, then blended over the cleared 0 by itself:
//            0.3775^2 * 255 = 36.3 -> 0x24
// Point sampling reads texel (0, 0), red: colour bytes 0x36, 0x0C, 0x12.
// Bilinear filtering with wrapping mixes two red and two green texels at
// the checkerboard's corner: 0x29, 0x18, 0x12.
const SamplingCase kSamplingCases[] = {
    {"PointSamplingByDefault", false, 0x24360C12},
    {"BilinearOnBothStages", true, 0x24291812},
};

void PrintTo(const SamplingCase& c, std::ostream* out) { *out << c.id; }

class FirstDrawTest : public ProbeFrameTest, public ::testing::WithParamInterface<SamplingCase> {};

TEST_P(FirstDrawTest, FirstPixelOfTarget01IsWhatTheReferenceRasterizerComputes)
{
    const SamplingCase& c = GetParam();
    if (c.bilinear) {
        probe->afterDeviceObjects = [](TestProbe& p) { SetFilter(p.device, D3DTFG_LINEAR, D3DTFN_LINEAR); };
    }
    WatchDraws();

    RunProbe();

    ExpectTwoDrawsIntoTarget01();
    EXPECT_EQ(drawn[0].At(0, 0), c.firstPixel);
    EXPECT_EQ(probe->verdict, 0);
}

INSTANTIATE_TEST_SUITE_P(Sampling, FirstDrawTest, ::testing::ValuesIn(kSamplingCases),
                         [](const ::testing::TestParamInfo<SamplingCase>& info) { return info.param.id; });

// ---- the second draw

TEST_F(ProbeFrameTest, SecondDrawLeavesTarget01AloneUnderItsZBuffer)
{
    WatchDraws();

    RunProbe();

    ExpectTwoDrawsIntoTarget01();
    EXPECT_EQ(drawn[1].At(0, 0), 0x24360C12u);
    EXPECT_EQ(drawn[1].pixels, drawn[0].pixels);
    EXPECT_EQ(probe->verdict, 0);
    EXPECT_FALSE(probe->errorRaised);
}

// "target01" keeps its Z-buffer; only the depth test is switched off, on
// the device, before the frame. Taking the Z-buffer away instead would
// make the probe's own clear of the depth fail, and the verdict would come
// from that failure, not from the pixel.
//
// The second draw's one fragment lands on the first pixel, with no diffuse
// (opaque white) and z 256. Its alpha, blended by the destination's 0x24:
//   stage 0 alpha 1, stage 1 128/255
//   128/255 * 36/255 + 36/255 * (1 - 36/255) = 0.1921 -> 49 = 0x31
// Its texel lies at (0, 1) of the first set, which wraps to the red row 0:
//   colour 0x43, 0x13, 0x17 after blending with 0x36, 0x0C, 0x12.
TEST_F(ProbeFrameTest, WithoutDepthTestTheSecondDrawMakesTheFirstPixelFail)
{
    probe->afterDeviceObjects = [](TestProbe& p) {
        ASSERT_EQ(D3D_OK, p.device->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE));
    };
    WatchDraws();

    RunProbe();

    ExpectTwoDrawsIntoTarget01();
    EXPECT_EQ(drawn[0].At(0, 0), 0x24360C12u);
    EXPECT_EQ(drawn[1].At(0, 0), 0x31431317u);
    std::vector<uint32_t> othersUnchanged = drawn[0].pixels;
    othersUnchanged[0] = drawn[1].pixels[0];
    EXPECT_EQ(drawn[1].pixels, othersUnchanged);
    // The verdict is computed from that pixel; nothing failed.
    EXPECT_EQ(probe->verdict, 1);
    EXPECT_EQ(probe->frameResult, S_OK);
    EXPECT_FALSE(probe->errorRaised);
    EXPECT_TRUE(probe->quitRequested);
    EXPECT_FALSE(console.shown);
}

// ---- the verdict rule
//
// These cases test the rule that turns the alpha byte into the verdict, not
// rendering: a scripted rasterizer stands in for the device and writes the
// given alpha into the first pixel of the render target at the first draw,
// through the target's own pixel format, as a device writes what it drew.
// The second draw leaves the target alone, as the depth test does. Every
// other pixel, and every colour byte of the first one, holds a value of the
// opposite verdict, so a probe that read anything but the first pixel's
// alpha would reach the other verdict.

struct VerdictCase {
    uint8_t alpha;
    LONG verdict;
};

const VerdictCase kVerdictCases[] = {
    {0x20, 1}, {0x21, 0}, {0x24, 0}, {0x27, 0}, {0x28, 1},
};

void PrintTo(const VerdictCase& c, std::ostream* out) { *out << "alpha " << std::hex << int(c.alpha); }

class VerdictRuleTest : public ProbeFixture, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(VerdictRuleTest, AlphaOfTheFirstPixelDecides)
{
    const VerdictCase& c = GetParam();
    const uint32_t other = c.verdict == 0 ? 0x00 : 0x24;  // a byte of the opposite verdict
    int draws = 0;
    standin::dx6::SetRasterizer([&](const runtime::DrawRecord&, const standin::dx6::DrawTarget& target) {
        if (++draws > 1) return D3D_OK;
        const standin::raster::PixelFormat format = RasterFormat(target.color.format);
        EXPECT_EQ(format.bitCount, 32u);
        for (DWORD y = 0; y < target.color.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(target.color.bits +
                                                    static_cast<ptrdiff_t>(y) * target.color.pitch);
            for (DWORD x = 0; x < target.color.width; ++x) {
                const uint32_t alpha = (x == 0 && y == 0) ? c.alpha : other;
                row[x] = standin::raster::PackColor(format, alpha << 24 | other << 16 | other << 8 | other);
            }
        }
        return D3D_OK;
    });

    RunProbe();

    EXPECT_EQ(draws, 2);
    EXPECT_EQ(probe->verdict, c.verdict);
    EXPECT_EQ(probe->frameResult, S_OK);
    EXPECT_FALSE(probe->errorRaised);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, VerdictRuleTest, ::testing::ValuesIn(kVerdictCases),
                         [](const ::testing::TestParamInfo<VerdictCase>& info) {
                             const char* digits = "0123456789ABCDEF";
                             return std::string("Alpha0x") + digits[info.param.alpha >> 4] +
                                    digits[info.param.alpha & 0xF];
                         });

}  // namespace
}  // namespace probetest
