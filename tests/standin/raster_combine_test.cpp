// The texture-stage cascade, one case per operation and modifier. Every
// input is constant over a small quad, so each case is one hand-computed
// colour: with x/255 inputs, a channel is round(255 * formula).
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

// Inputs, as (alpha, red, green, blue) bytes:
constexpr uint32_t kDiffuse = 0xC0804020;   // D = (192, 128, 64, 32)
constexpr uint32_t kTexel = 0x40FF8000;     // T = (64, 255, 128, 0)
constexpr uint32_t kFactor = 0x80606060;    // F = (128, 96, 96, 96)
constexpr uint32_t kSpecular = 0x00102030;  // S = (0, 16, 32, 48)

constexpr DWORD D = D3DTA_DIFFUSE, C = D3DTA_CURRENT, T = D3DTA_TEXTURE, F = D3DTA_TFACTOR,
                S = D3DTA_SPECULAR;
constexpr DWORD INV = D3DTA_COMPLEMENT, REP = D3DTA_ALPHAREPLICATE;

struct Stage {
    DWORD colorOp, colorArg1, colorArg2;
    DWORD alphaOp, alphaArg1, alphaArg2;
};

// Unless a case says otherwise the alpha is F's, 0x80.
constexpr DWORD kAlphaF[3] = {D3DTOP_SELECTARG1, F, D};

Stage ColorStage(DWORD op, DWORD arg1, DWORD arg2)
{
    return {op, arg1, arg2, kAlphaF[0], kAlphaF[1], kAlphaF[2]};
}

struct Case {
    const char* name;
    std::vector<Stage> stages;  // from stage 0; later stages keep their defaults
    uint32_t expected;
    int tolerance = 0;
    bool texture = true;
};

const Case kCases[] = {
    {"select arg1", {ColorStage(D3DTOP_SELECTARG1, T, D)}, 0x80FF8000},
    {"select arg2", {ColorStage(D3DTOP_SELECTARG2, T, D)}, 0x80804020},
    // T * D: g 128*64/255 = 32.1
    {"modulate", {ColorStage(D3DTOP_MODULATE, T, D)}, 0x80802000},
    // 2TD: r 256 -> 255, g 64.3
    {"modulate 2x", {ColorStage(D3DTOP_MODULATE2X, T, D)}, 0x80FF4000},
    // 4TD: g 128.5
    {"modulate 4x", {ColorStage(D3DTOP_MODULATE4X, T, D)}, 0x80FF8100},
    {"add", {ColorStage(D3DTOP_ADD, T, D)}, 0x80FFC020},
    // T + D - 0.5 lands on a half step for any byte inputs (g 64.5, b 0):
    // either neighbour is right
    {"add signed", {ColorStage(D3DTOP_ADDSIGNED, T, D)}, 0x80FF4000, 1},
    // 2(T + D - 0.5): g 2*192 - 255 = 129
    {"add signed 2x", {ColorStage(D3DTOP_ADDSIGNED2X, T, D)}, 0x80FF8100},
    {"subtract", {ColorStage(D3DTOP_SUBTRACT, T, D)}, 0x807F4000},
    // T + D - TD: g 192 - 32.1 = 159.9
    {"add smooth", {ColorStage(D3DTOP_ADDSMOOTH, T, D)}, 0x80FFA020},
    // T Da + D (1 - Da), Da = 192: r 192 + 31.6, g 96.4 + 15.8, b 7.9
    {"blend diffuse alpha", {ColorStage(D3DTOP_BLENDDIFFUSEALPHA, T, D)}, 0x80E07008},
    // Ta = 64: r 64 + 95.9, g 32.1 + 47.9, b 24.0
    {"blend texture alpha", {ColorStage(D3DTOP_BLENDTEXTUREALPHA, T, D)}, 0x80A05018},
    // Fa = 128: r 128 + 63.75, g 64.3 + 31.9, b 15.9
    {"blend factor alpha", {ColorStage(D3DTOP_BLENDFACTORALPHA, T, D)}, 0x80C06010},
    // T + D (1 - Ta): g 128 + 47.9, b 24.0
    {"blend texture alpha premultiplied", {ColorStage(D3DTOP_BLENDTEXTUREALPHAPM, T, D)}, 0x80FFB018},
    // Stage 0 leaves D's colour with T's alpha (64); stage 1 blends F over it
    // by that alpha: 96*64/255 + D(191/255) = (120.0, 72.0, 48.1); its alpha
    // operation is disabled, so the current alpha 64 stays.
    {"blend current alpha",
     {{D3DTOP_SELECTARG1, D, D, D3DTOP_SELECTARG1, T, D},
      {D3DTOP_BLENDCURRENTALPHA, F, C, D3DTOP_DISABLE, C, C}},
     0x40784830},
    // T + Ta D: g 128 + 16.1, b 8.0
    {"modulate alpha add color", {ColorStage(D3DTOP_MODULATEALPHA_ADDCOLOR, T, D)}, 0x80FF9008},
    // D T + Da: g 32.1 + 192, b 0 + 192
    {"modulate color add alpha", {ColorStage(D3DTOP_MODULATECOLOR_ADDALPHA, D, T)}, 0x80FFE0C0},
    // (1 - Da) T + D: r 63 + 128, g 31.6 + 64, b 32
    {"modulate inverse alpha add color", {ColorStage(D3DTOP_MODULATEINVALPHA_ADDCOLOR, D, T)}, 0x80BF6020},
    // (1 - T) S + Ta: r 64, g 15.9 + 64, b 48 + 64
    {"modulate inverse color add alpha", {ColorStage(D3DTOP_MODULATEINVCOLOR_ADDALPHA, T, S)}, 0x80405070},
    // 4 sum (T - 0.5)(D - 0.5) = 4 (63.75 - 31.75 + 12176.25) / 65025 = 191.5
    // steps, in every channel: the alpha operation is overridden
    {"dot product 3", {ColorStage(D3DTOP_DOTPRODUCT3, T, D)}, 0xC0C0C0C0},

    {"complement", {ColorStage(D3DTOP_SELECTARG1, T | INV, D)}, 0x80007FFF},
    {"alpha replicate", {ColorStage(D3DTOP_SELECTARG1, T | REP, D)}, 0x80404040},
    {"complement and alpha replicate", {ColorStage(D3DTOP_SELECTARG1, F | INV | REP, D)}, 0x807F7F7F},
    {"specular argument", {ColorStage(D3DTOP_SELECTARG1, S, D)}, 0x80102030},
    {"factor argument", {ColorStage(D3DTOP_SELECTARG2, S, F)}, 0x80606060},

    // Alpha operations read the arguments' alpha: Ta Da = 48.2
    {"alpha modulate", {{D3DTOP_SELECTARG1, D, D, D3DTOP_MODULATE, T, D}}, 0x30804020},
    {"alpha complement", {{D3DTOP_SELECTARG1, D, D, D3DTOP_SELECTARG1, T | INV, D}}, 0xBF804020},
    // The probe's alpha: Da Fa + Ta (1 - Fa) = 96.4 + 31.9
    {"alpha blend factor alpha", {{D3DTOP_SELECTARG1, D, D, D3DTOP_BLENDFACTORALPHA, D, T}}, 0x80804020},

    // Stage 0 T, stage 1 times F: r 96, g 48.2; alpha disabled in stage 1
    {"two stages",
     {ColorStage(D3DTOP_SELECTARG1, T, D), {D3DTOP_MODULATE, C, F, D3DTOP_DISABLE, C, C}},
     0x80603000},
    // Disabling stage 0 disables everything: the diffuse colour and alpha.
    {"stage 0 disabled",
     {{D3DTOP_DISABLE, T, D, D3DTOP_DISABLE, T, D}, ColorStage(D3DTOP_SELECTARG1, F, D)},
     kDiffuse},
    // A disabled stage ends the cascade even when a later one is set.
    {"disabled stage ends the cascade",
     {ColorStage(D3DTOP_SELECTARG1, D, D),
      {D3DTOP_DISABLE, F, F, D3DTOP_DISABLE, F, F},
      ColorStage(D3DTOP_SELECTARG1, F, D)},
     0x80804020},

    // Without a texture, an operation that needs it passes CURRENT through.
    {"defaults without texture", {{D3DTOP_MODULATE, T, C, D3DTOP_SELECTARG1, T, C}}, kDiffuse, 0, false},
    {"needing the texture without one", {ColorStage(D3DTOP_MODULATE, T, F)}, 0x80804020, 0, false},
    {"ignoring the texture without one", {ColorStage(D3DTOP_SELECTARG1, F, T)}, 0x80606060, 0, false},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Combiner : public ::testing::TestWithParam<Case> {};

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance) {
            return false;
        }
    }
    return true;
}

TEST_P(Combiner, GivesTheHandComputedColour)
{
    const Case& c = GetParam();
    Image texture(1, 1, kArgb8888);
    texture.SetRaw(0, 0, kTexel);
    Image target(2, 2, kArgb8888);
    DeviceState state = standin::raster::DefaultDeviceState(false);
    state.render[D3DRENDERSTATE_TEXTUREFACTOR] = kFactor;
    for (size_t s = 0; s < c.stages.size(); ++s) {
        const Stage& st = c.stages[s];
        const auto stage = static_cast<uint32_t>(s);
        SetStage(state, stage, D3DTSS_COLOROP, st.colorOp);
        SetStage(state, stage, D3DTSS_COLORARG1, st.colorArg1);
        SetStage(state, stage, D3DTSS_COLORARG2, st.colorArg2);
        SetStage(state, stage, D3DTSS_ALPHAOP, st.alphaOp);
        SetStage(state, stage, D3DTSS_ALPHAARG1, st.alphaArg1);
        SetStage(state, stage, D3DTSS_ALPHAARG2, st.alphaArg2);
        state.texture[s] = c.texture ? texture.texture() : nullptr;
    }
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Quad(2, 2, kDiffuse, kSpecular)));
    for (uint32_t y = 0; y < 2; ++y) {
        for (uint32_t x = 0; x < 2; ++x) {
            EXPECT_PRED3(Near, c.expected, target.At(x, y), c.tolerance)
                << c.name << " at " << x << "," << y << ": 0x" << std::hex << target.At(x, y);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, Combiner, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

TEST(CombinerSpecular, SpecularEnableAddsTheSpecularColourAfterTheStages)
{
    Image target(2, 2, kArgb8888);
    DeviceState state = standin::raster::DefaultDeviceState(false);
    state.render[D3DRENDERSTATE_TEXTUREFACTOR] = kFactor;
    SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    SetStage(state, 0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Quad(2, 2, kDiffuse, 0x00FFFF30)));
    EXPECT_EQ(0xC0804020u, target.At(0, 0));  // off by default on a Direct3D 3 device
    state.render[D3DRENDERSTATE_SPECULARENABLE] = TRUE;
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Quad(2, 2, kDiffuse, 0x00FFFF30)));
    EXPECT_EQ(0xC0FFFF50u, target.At(0, 0));  // saturated red and green, blue 32 + 48
}

}  // namespace
}  // namespace rastertest
