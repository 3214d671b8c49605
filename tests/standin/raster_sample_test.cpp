// Texture sampling: point and bilinear filters, the address modes, the
// choice between magnification and minification, coordinate sets and the
// texture formats read by their masks.
#include <gtest/gtest.h>

#include <string>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

// 4 x 4 texels, texel (x, y) with red 0x40 x and green 0x40 y, opaque.
class Ramp : public Image {
public:
    Ramp() : Image(4, 4, kArgb8888)
    {
        for (uint32_t y = 0; y < 4; ++y) {
            for (uint32_t x = 0; x < 4; ++x) {
                SetRaw(x, y, 0xFF000000 | (0x40 * x) << 16 | (0x40 * y) << 8);
            }
        }
    }
};

DeviceState SelectTexture(const Image& texture)
{
    DeviceState state = standin::raster::DefaultDeviceState(false);
    SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    SetStage(state, 0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    state.texture[0] = texture.texture();
    return state;
}

// A quad whose every vertex carries (u, v): every pixel samples there, with
// no change from pixel to pixel, so the magnification filter applies.
std::array<TLVertex, 4> Constant(float u, float v)
{
    std::array<TLVertex, 4> quad = Quad(2, 2);
    for (TLVertex& vertex : quad) {
        vertex.u = u;
        vertex.v = v;
    }
    return quad;
}

constexpr DWORD W = D3DTADDRESS_WRAP, M = D3DTADDRESS_MIRROR, C = D3DTADDRESS_CLAMP, B = D3DTADDRESS_BORDER;
constexpr DWORD POINT = D3DTFG_POINT, LINEAR = D3DTFG_LINEAR;

struct Case {
    float u, v;
    DWORD filter, addressU, addressV;
    uint32_t expected;
    uint32_t border = 0;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << "(" << c.u << ", " << c.v << ") filter " << c.filter << " address " << c.addressU << "/"
        << c.addressV;
}

const Case kCases[] = {
    // Point: the texel whose square holds (4u, 4v).
    {0, 0, POINT, W, W, 0xFF000000},
    {0.3f, 0.6f, POINT, W, W, 0xFF408000},              // (1.2, 2.4)
    {0.2499f, 0, POINT, W, W, 0xFF000000},              // just left of texel 1
    {0.25f, 0, POINT, W, W, 0xFF400000},                // texel 1's left edge
    {1.3f, -0.2f, POINT, W, W, 0xFF40C000},             // (5.2, -0.8) wrap to (1, 3)
    {-3.75f, 0, POINT, W, W, 0xFF400000},               // -15 wraps to 1
    {1.3f, -0.2f, POINT, M, M, 0xFF800000},             // mirrored: 5 -> 2, -1 -> 0
    {2.1f, 0, POINT, M, M, 0xFF000000},                 // 8: forwards again
    {1.3f, -0.2f, POINT, C, C, 0xFFC00000},             // edges: (3, 0)
    {1.3f, -0.2f, POINT, W, C, 0xFF400000},             // each axis its own mode
    {1.3f, 0.5f, POINT, B, B, 0x12345678, 0x12345678},  // outside: the border colour
    {0.5f, 0.5f, POINT, B, B, 0xFF808000, 0x12345678},  // inside: the texel
    // Bilinear: centres at (i + 0.5) / 4, so (4u - 0.5, 4v - 0.5) falls
    // between the four texels mixed.
    {0.5f, 0.5f, LINEAR, W, W, 0xFF606000},     // halfway between 1 and 2 both ways
    {0.25f, 0.125f, LINEAR, W, W, 0xFF200000},  // (0.5, 0): between 0 and 1, row 0 alone
    {0.3f, 0.6f, LINEAR, W, W, 0xFF2D7A00},     // (0.7, 1.9): red 44.8, green 6.4 + 115.2
    {0, 0, LINEAR, W, W, 0xFF606000},           // (-0.5, -0.5): texels 3 and 0 each way
    {0, 0, LINEAR, M, M, 0xFF000000},           // texel -1 mirrors onto 0
    {0, 0, LINEAR, C, C, 0xFF000000},
    {0, 0, LINEAR, B, B, 0x40000000},  // three quarters border (0)
    {1, 1, LINEAR, W, W, 0xFF606000},  // (3.5, 3.5): texels 3 and 0
    {1, 1, LINEAR, C, C, 0xFFC0C000},
    {0.5f, 0.5f, D3DTFG_FLATCUBIC, W, W, 0xFF606000},  // cubic and anisotropic filter as bilinear
    {0.5f, 0.5f, D3DTFG_ANISOTROPIC, W, W, 0xFF606000},
};

class Sampling : public ::testing::TestWithParam<Case> {};

TEST_P(Sampling, GivesTheHandComputedTexel)
{
    const Case& c = GetParam();
    Ramp texture;
    Image target(2, 2, kArgb8888);
    DeviceState state = SelectTexture(texture);
    SetStage(state, 0, D3DTSS_MAGFILTER, c.filter);
    SetStage(state, 0, D3DTSS_ADDRESSU, c.addressU);
    SetStage(state, 0, D3DTSS_ADDRESSV, c.addressV);
    SetStage(state, 0, D3DTSS_BORDERCOLOR, c.border);
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Constant(c.u, c.v)));
    EXPECT_EQ(c.expected, target.At(0, 0)) << std::hex << "0x" << target.At(0, 0);
}

INSTANTIATE_TEST_SUITE_P(FiltersAndAddressing, Sampling, ::testing::ValuesIn(kCases));

TEST(SamplingAddress, AddressSetsBothDirections)
{
    Ramp texture;
    Image target(2, 2, kArgb8888);
    DeviceState state = SelectTexture(texture);
    SetStage(state, 0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Constant(1.3f, -0.2f)));
    EXPECT_EQ(0xFFC00000u, target.At(0, 0));
}

// Pixel x samples u = x / 4, the left edge of texel x: point sampling copies
// the texture pixel for pixel.
TEST(SamplingFootprint, PointSamplingOneToOneCopiesTheTexture)
{
    Ramp texture;
    Image target(4, 4, kArgb8888);
    ASSERT_EQ(D3D_OK, DrawStrip(SelectTexture(texture), target, nullptr, Quad(4, 4)));
    EXPECT_EQ(texture.Pixels(), target.Pixels());
}

// The whole texture on 2 x 2 pixels spans two texels a pixel: minified,
// so MINFILTER decides; on 8 x 8 pixels half a texel: MAGFILTER decides.
TEST(SamplingFootprint, MinifiedTexturesUseTheMinificationFilter)
{
    struct Case {
        float size;
        DWORD mag, min;
        uint32_t expected;  // at pixel (0, 0), u = v = 0
    };
    const Case cases[] = {{2, D3DTFG_POINT, D3DTFN_LINEAR, 0xFF606000},
                          {2, D3DTFG_LINEAR, D3DTFN_POINT, 0xFF000000},
                          {8, D3DTFG_POINT, D3DTFN_LINEAR, 0xFF000000},
                          {8, D3DTFG_LINEAR, D3DTFN_POINT, 0xFF606000}};
    Ramp texture;
    for (const Case& c : cases) {
        Image target(8, 8, kArgb8888);
        DeviceState state = SelectTexture(texture);
        SetStage(state, 0, D3DTSS_MAGFILTER, c.mag);
        SetStage(state, 0, D3DTSS_MINFILTER, c.min);
        ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, Quad(c.size, c.size)));
        EXPECT_EQ(c.expected, target.At(0, 0)) << "size " << c.size << " mag " << c.mag << " min " << c.min;
    }
}

// With the right side four times as far, u at the middle pixel is
// 0.25 * 0.5 / (0.5 + 0.25 * 0.5) = 0.2, texel 1 of 8, not texel 4.
TEST(SamplingFootprint, CoordinatesArePerspectiveCorrect)
{
    Image texture(8, 1, kArgb8888);
    for (uint32_t x = 0; x < 8; ++x) {
        texture.SetRaw(x, 0, 0xFF000000 | (0x20 * x) << 16);
    }
    Image target(8, 1, kArgb8888);
    std::array<TLVertex, 4> quad = Quad(8, 1);
    quad[2].rhw = quad[3].rhw = 0.25f;
    ASSERT_EQ(D3D_OK, DrawStrip(SelectTexture(texture), target, nullptr, quad));
    EXPECT_EQ(0xFF200000u, target.At(4, 0));
}

TEST(SamplingStages, EachStageReadsItsOwnTextureThroughItsCoordinateSet)
{
    struct Vertex {
        float x, y, z, rhw;
        float u0, v0, u1, v1;
    };
    const Vertex quad[4] = {{0, 2, 0, 1, 0, 0, 0.3f, 0.6f},
                            {0, 0, 0, 1, 0, 0, 0.3f, 0.6f},
                            {2, 2, 0, 1, 0, 0, 0.3f, 0.6f},
                            {2, 0, 0, 1, 0, 0, 0.3f, 0.6f}};
    Ramp ramp;
    Image blue(1, 1, kArgb8888);
    blue.SetRaw(0, 0, 0xFF000020);
    Image target(2, 2, kArgb8888);
    DeviceState state = SelectTexture(ramp);
    SetStage(state, 1, D3DTSS_COLOROP, D3DTOP_ADD);
    SetStage(state, 1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    SetStage(state, 1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    state.texture[1] = blue.texture();
    const auto draw = [&] {
        return standin::raster::Draw(state, target.surface(), nullptr, D3DPT_TRIANGLESTRIP,
                                     D3DFVF_XYZRHW | D3DFVF_TEX2, quad, 4, 0);
    };
    ASSERT_EQ(D3D_OK, draw());
    EXPECT_EQ(0xFF000020u, target.At(0, 0));  // set 0: texel (0, 0), plus blue
    SetStage(state, 0, D3DTSS_TEXCOORDINDEX, 1);
    ASSERT_EQ(D3D_OK, draw());
    EXPECT_EQ(0xFF408020u, target.At(0, 0));  // set 1: texel (1, 2), plus blue
}

struct FormatCase {
    const char* name;
    PixelFormat format;
    uint32_t raw;
    uint32_t expected;
};

TEST(SamplingFormats, TexelsAreReadByTheirMasks)
{
    const FormatCase cases[] = {
        {"R5G6B5 magenta", kRgb565, 0xF81F, 0xFFFF00FF},
        {"R5G6B5 green 32 of 63", kRgb565, 0x0400, 0xFF008200},  // 129.5 steps
        {"X1R5G5B5 ignores its top bit", kXrgb1555, 0xFFFF, 0xFFFFFFFF},
        {"X1R5G5B5 red 16 of 31", kXrgb1555, 0x4000, 0xFF840000},  // 131.6 steps
        {"A1R5G5B5 transparent", kArgb1555, 0x7FFF, 0x00FFFFFF},
        {"A4R4G4B4", kArgb4444, 0x8F0F, 0x88FF00FF},
        {"X8R8G8B8 is opaque", kXrgb8888, 0x00123456, 0xFF123456},
    };
    for (const FormatCase& c : cases) {
        Image texture(1, 1, c.format);
        texture.SetRaw(0, 0, c.raw);
        Image target(2, 2, kArgb8888);
        ASSERT_EQ(D3D_OK, DrawStrip(SelectTexture(texture), target, nullptr, Quad(2, 2)));
        EXPECT_EQ(c.expected, target.At(0, 0)) << c.name << ": 0x" << std::hex << target.At(0, 0);
    }
}

}  // namespace
}  // namespace rastertest
