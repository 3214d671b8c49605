// The blend probe's two draws into its 256 x 256 render-target texture,
// rendered by the reference rasterizer and checked against values worked out
// by hand from the stage states, the texture factor and the blend states.
#include <gtest/gtest.h>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;

// The probe's vertex block: four 36-byte vertices (XYZRHW, diffuse, two
// texture coordinate sets) for a strip covering the whole target.
std::array<uint8_t, 144> ProbeBlock(float w, float h)
{
    struct Vertex {
        float x, y, z, rhw;
        uint32_t diffuse;
        float u0, v0, u1, v1;
    };
    static_assert(sizeof(Vertex) == 36);
    const Vertex v[4] = {{0, h, 0, 1, 0xFFFFDDAA, 0, 1, 0, 1},
                         {0, 0, 0, 1, 0x80FF80DD, 0, 0, 0, 0},
                         {w, h, 0, 1, 0xFFFFDDAA, 1, 1, 1, 1},
                         {w, 0, 0, 1, 0x80FF80DD, 1, 0, 1, 0}};
    std::array<uint8_t, 144> block;
    std::memcpy(block.data(), v, sizeof v);
    return block;
}

// 128 x 128, 16 x 16 squares, texel (0, 0) red, every texel opaque.
class Checkerboard : public Image {
public:
    Checkerboard() : Image(128, 128, kArgb8888)
    {
        for (uint32_t y = 0; y < 128; ++y) {
            for (uint32_t x = 0; x < 128; ++x) {
                SetRaw(x, y, ((x / 16 + y / 16) % 2 == 0) ? kRed : kGreen);
            }
        }
    }
};

class ProbeDraws : public ::testing::Test {
protected:
    // The probe's stage and render states, in its order, over a device's
    // defaults.
    void SetUpStates(bool zBufferAttached, DWORD filter = D3DTFG_POINT)
    {
        state = standin::raster::DefaultDeviceState(zBufferAttached);
        SetStage(state, 0, D3DTSS_TEXCOORDINDEX, 0);
        SetStage(state, 1, D3DTSS_TEXCOORDINDEX, 1);
        SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);
        SetStage(state, 0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        SetStage(state, 0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        SetStage(state, 0, D3DTSS_ALPHAOP, D3DTOP_BLENDFACTORALPHA);
        SetStage(state, 0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        SetStage(state, 0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
        SetStage(state, 1, D3DTSS_COLOROP, D3DTOP_MODULATE);
        SetStage(state, 1, D3DTSS_COLORARG1, D3DTA_CURRENT);
        SetStage(state, 1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
        SetStage(state, 1, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        SetStage(state, 1, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
        SetStage(state, 1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
        state.render[D3DRENDERSTATE_ALPHABLENDENABLE] = TRUE;
        state.render[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_INVSRCALPHA;
        state.render[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_SRCALPHA;
        state.render[D3DRENDERSTATE_TEXTUREFACTOR] = 0x80908070;
        state.texture[0] = texture.texture();
        state.texture[1] = texture.texture();
        for (uint32_t s = 0; s < 2; ++s) {
            SetStage(state, s, D3DTSS_MAGFILTER, filter);
            SetStage(state, s, D3DTSS_MINFILTER, filter);
        }
    }

    HRESULT FirstDraw(DepthImage* depth)
    {
        return standin::raster::Draw(state, target.surface(), depth ? depth->surface() : nullptr,
                                     D3DPT_TRIANGLESTRIP, 0x244, block.data(), 4, D3DDP_WAIT);
    }

    HRESULT SecondDraw(DepthImage* depth)
    {
        state.render[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_INVDESTALPHA;
        state.render[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_DESTALPHA;
        return standin::raster::Draw(state, target.surface(), depth ? depth->surface() : nullptr,
                                     D3DPT_TRIANGLESTRIP, 0x204, block.data(), 4, D3DDP_WAIT);
    }

    Checkerboard texture;
    Image target{256, 256, kArgb8888};
    std::array<uint8_t, 144> block = ProbeBlock(256.0f, 256.0f);
    DeviceState state{};
};

// At pixel (0, 0), the centre of vertex 1: diffuse 0x80FF80DD, texel red,
// factor alpha fa = 128/255.
//   stage 0 colour  tex * fa + diffuse * (1 - fa) = (1, 0.25, 0.4316)
//   stage 0 alpha   0x80/255 * fa + 1 * (1 - fa)  = 0.75
//   stage 1         x factor (0x90, 0x80, 0x70, 0x80) = (0.5647, 0.1255, 0.1896, 0.3765)
//   blend over 0    x 0.3765: (0.2126, 0.0472, 0.0714, 0.1417) * 255
//                   = (54.2, 12.0, 18.2, 36.1) -> 0x24360C12
TEST_F(ProbeDraws, FirstDrawWithPointSamplingLeavesAlpha0x24AndRedMix)
{
    SetUpStates(false);
    ASSERT_EQ(D3D_OK, FirstDraw(nullptr));
    EXPECT_EQ(0x24360C12u, target.At(0, 0));
    EXPECT_TRUE(target.GuardsIntact());
}

// The colour follows the texel, the alpha does not: with texel (0, 0) green
//   stage 0 (127/255, 0.7520, 0.4316), stage 1 (0.2823, 0.3775, 0.1896)
//   blend x 0.3765 -> (27.1, 36.2, 18.2) -> 0x241B2412
TEST_F(ProbeDraws, FirstDrawOverAGreenTexelKeepsAlpha0x24)
{
    texture.SetRaw(0, 0, kGreen);
    SetUpStates(false);
    ASSERT_EQ(D3D_OK, FirstDraw(nullptr));
    EXPECT_EQ(0x241B2412u, target.At(0, 0));
}

// Bilinear with wrap at (0, 0) averages texels (127|0, 127|0): two red, two
// green, so the texel is (0.5, 0.5, 0):
//   stage 0 colour (191/255, 0.5010, 0.4316), stage 1 (0.4230, 0.2515, 0.1896)
//   blend x 0.3765 -> (40.6, 24.1, 18.2) -> 0x24291812
TEST_F(ProbeDraws, FirstDrawWithBilinearWrapMixesRedAndGreen)
{
    SetUpStates(false, D3DTFG_LINEAR);
    ASSERT_EQ(D3D_OK, FirstDraw(nullptr));
    EXPECT_EQ(0x24291812u, target.At(0, 0));
}

TEST_F(ProbeDraws, FirstDrawCoversEveryPixelAndWritesItsDepth)
{
    SetUpStates(true);
    DepthImage depth(256, 256);
    depth.Clear(1.0f);
    ASSERT_EQ(D3D_OK, FirstDraw(&depth));
    for (uint32_t y = 0; y < 256; ++y) {
        for (uint32_t x = 0; x < 256; ++x) {
            ASSERT_NE(0u, target.At(x, y) >> 24) << x << "," << y;
            ASSERT_EQ(0u, depth.Word(x, y)) << x << "," << y;  // z 0 written everywhere
        }
    }
    // The top row has the top vertices' alpha throughout; the texel colour
    // changes, the alpha does not.
    for (uint32_t x = 0; x < 256; ++x) {
        ASSERT_EQ(0x24u, target.At(x, 0) >> 24) << x;
    }
}

// The second draw reads the 36-byte block as 32-byte vertices:
//   v0 (0, 256)  z 0    rhw 1
//   v1 (1, 0)    z 0    rhw 0
//   v2 (0, 0)    z 256  rhw 256
//   v3 (1, 1)    z 1    rhw 256
// Triangle (v0, v1, v2) runs counter-clockwise and is culled. Triangle
// (v1, v3, v2) runs clockwise and holds exactly one pixel centre: (0, 0),
// which is vertex v2, on the triangle's top and left edges. Its z there is
// v2's, 256: outside [0, 1], so clipped when the depth test is on (and
// failing LESSEQUAL against any stored depth anyway).
TEST_F(ProbeDraws, SecondDrawLeavesTheTargetAloneWithTheDepthTestOn)
{
    SetUpStates(true);
    DepthImage depth(256, 256);
    depth.Clear(1.0f);
    ASSERT_EQ(D3D_OK, FirstDraw(&depth));
    const std::vector<uint32_t> before = target.Pixels();
    ASSERT_EQ(D3D_OK, SecondDraw(&depth));
    EXPECT_EQ(0x24360C12u, target.At(0, 0));
    EXPECT_EQ(before, target.Pixels());
}

// Without a depth test the fragment at (0, 0) is drawn: no diffuse means
// opaque white, so stage 0 alpha = fa + (1 - fa) = 1 and stage 1 alpha =
// 128/255. Blending by the destination alpha Ad = 36/255:
//   alpha  128/255 * Ad + Ad * (1 - Ad) = 36 * 347 / 65025 = 0.1921 -> 49 = 0x31
// The colour (texel at (0, 1): row 128 wraps to row 0, red):
//   stage 0 (1, 127/255, 127/255), stage 1 (144, 63.7, 55.8)/255,
//   blend with (54, 12, 18)/255 -> (66.7, 19.3, 23.3) -> 0x43, 0x13, 0x17
TEST_F(ProbeDraws, SecondDrawChangesOnlyTheFirstPixelWithoutDepthTest)
{
    SetUpStates(false);
    ASSERT_EQ(D3D_OK, FirstDraw(nullptr));
    std::vector<uint32_t> expected = target.Pixels();
    expected[0] = 0x31431317;
    ASSERT_EQ(D3D_OK, SecondDraw(nullptr));
    EXPECT_EQ(0x31431317u, target.At(0, 0));
    EXPECT_EQ(expected, target.Pixels());
    EXPECT_TRUE(target.GuardsIntact());
}

TEST_F(ProbeDraws, SecondDrawIsDrawnWhenZEnableIsOffDespiteAZBuffer)
{
    SetUpStates(true);
    state.render[D3DRENDERSTATE_ZENABLE] = D3DZB_FALSE;
    DepthImage depth(256, 256);
    depth.Clear(1.0f);
    ASSERT_EQ(D3D_OK, FirstDraw(&depth));
    ASSERT_EQ(D3D_OK, SecondDraw(&depth));
    EXPECT_EQ(0x31u, target.At(0, 0) >> 24);
}

}  // namespace
}  // namespace rastertest
