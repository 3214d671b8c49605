// What a pixel receives from its triangle's vertices: Gouraud colours,
// perspective weighting by rhw, and flat shading's choice of vertex.
#include <gtest/gtest.h>

#include <vector>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

struct Vertex {
    float x, y, z, rhw;
    uint32_t diffuse;
};
constexpr DWORD kFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

class Interpolation : public ::testing::Test {
protected:
    Interpolation()
    {
        state = standin::raster::DefaultDeviceState(false);
        SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        SetStage(state, 0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        SetStage(state, 0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        SetStage(state, 0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    }

    HRESULT Draw(Image& target, D3DPRIMITIVETYPE type, const std::vector<Vertex>& v)
    {
        return standin::raster::Draw(state, target.surface(), nullptr, type, kFvf, v.data(),
                                     static_cast<DWORD>(v.size()), 0);
    }

    DeviceState state{};
};

// Red runs from 0 at x = 0 to 255 at x = 255, so the pixel whose centre is
// x holds red x exactly.
TEST_F(Interpolation, GouraudColourIsExactAtEveryPixelCentre)
{
    Image target(256, 2, kArgb8888);
    ASSERT_EQ(D3D_OK, Draw(target, D3DPT_TRIANGLESTRIP,
                           {{0, 2, 0, 1, 0xFF000000},
                            {0, 0, 0, 1, 0xFF000000},
                            {255, 2, 0, 1, 0xFFFF0000},
                            {255, 0, 0, 1, 0xFFFF0000}}));
    for (uint32_t x = 0; x < 255; ++x) {
        ASSERT_EQ(0xFF000000u | (x << 16), target.At(x, 0)) << x;
        ASSERT_EQ(0xFF000000u | (x << 16), target.At(x, 1)) << x;
    }
    EXPECT_EQ(0u, target.Raw(255, 0));  // the right edge is not the quad's
}

// The right side is four times as far (rhw 0.25): at screen fraction t red
// is 0.25 t / ((1 - t) + 0.25 t): t = 1/4, 1/2, 3/4 give 19.6, 51, 109.3.
TEST_F(Interpolation, ColoursArePerspectiveCorrectFromRhw)
{
    Image target(8, 1, kArgb8888);
    ASSERT_EQ(D3D_OK, Draw(target, D3DPT_TRIANGLESTRIP,
                           {{0, 1, 0, 1, 0xFF000000},
                            {0, 0, 0, 1, 0xFF000000},
                            {8, 1, 0, 0.25f, 0xFFFF0000},
                            {8, 0, 0, 0.25f, 0xFFFF0000}}));
    EXPECT_EQ(0xFF140000u, target.At(2, 0));
    EXPECT_EQ(0xFF330000u, target.At(4, 0));
    EXPECT_EQ(0xFF6D0000u, target.At(6, 0));
}

// Flat shading takes the colour of a triangle's first vertex: for a strip
// that is vertex n of triangle n, for a fan vertex n + 1 (vertex 0 is the
// hub every triangle shares).
TEST_F(Interpolation, FlatShadingTakesEachTrianglesFirstVertex)
{
    state.render[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_FLAT;
    const uint32_t a = 0xFF110000, b = 0xFF002200, c = 0xFF000033, d = 0xFF444444;
    Image target(4, 4, kArgb8888);
    // triangle 0 (v0 v1 v2) holds the lower left, triangle 1 (v1 v3 v2) the upper right
    ASSERT_EQ(D3D_OK, Draw(target, D3DPT_TRIANGLESTRIP,
                           {{0, 4, 0, 1, a}, {0, 0, 0, 1, b}, {4, 4, 0, 1, c}, {4, 0, 0, 1, d}}));
    EXPECT_EQ(a, target.At(0, 3));
    EXPECT_EQ(b, target.At(3, 0));
    // triangle 0 (v0 v1 v2) holds the upper right, triangle 1 (v0 v2 v3) the lower left
    ASSERT_EQ(D3D_OK, Draw(target, D3DPT_TRIANGLEFAN,
                           {{0, 0, 0, 1, a}, {4, 0, 0, 1, b}, {4, 4, 0, 1, c}, {0, 4, 0, 1, d}}));
    EXPECT_EQ(b, target.At(3, 0));
    EXPECT_EQ(c, target.At(0, 3));
}

TEST_F(Interpolation, VerticesWithoutColoursAreOpaqueWhite)
{
    const float quad[4][4] = {{0, 2, 0, 1}, {0, 0, 0, 1}, {2, 2, 0, 1}, {2, 0, 0, 1}};
    Image target(2, 2, kArgb8888);
    ASSERT_EQ(D3D_OK, standin::raster::Draw(state, target.surface(), nullptr, D3DPT_TRIANGLESTRIP,
                                            D3DFVF_XYZRHW, quad, 4, 0));
    EXPECT_EQ(0xFFFFFFFFu, target.At(0, 0));
}

}  // namespace
}  // namespace rastertest
