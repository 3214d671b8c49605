// What Draw accepts and refuses, and what it makes of garbage: vertices
// that are not numbers, infinite, far off the target or with rhw 0 or less
// never write outside the target (its guard bytes stay intact).
#include <gtest/gtest.h>

#include <cfloat>
#include <functional>
#include <limits>
#include <string>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

DeviceState Textured(const Image& texture)
{
    DeviceState state = standin::raster::DefaultDeviceState(false);
    state.texture[0] = texture.texture();
    return state;
}

// ---------------------------------------------------------------- arguments

struct Call {
    DeviceState state;
    Surface target;
    DepthSurface* depth;
    D3DPRIMITIVETYPE type;
    DWORD fvf;
    const void* vertices;
    DWORD count;
};

struct ArgumentCase {
    const char* name;
    std::function<void(Call&)> change;
    HRESULT expected;
};

const ArgumentCase kArguments[] = {
    {"the call as it is", [](Call&) {}, D3D_OK},
    {"points", [](Call& c) { c.type = D3DPT_POINTLIST; }, D3DERR_INVALIDPRIMITIVETYPE},
    {"lines", [](Call& c) { c.type = D3DPT_LINESTRIP; }, D3DERR_INVALIDPRIMITIVETYPE},
    {"unknown primitive", [](Call& c) { c.type = static_cast<D3DPRIMITIVETYPE>(7); },
     D3DERR_INVALIDPRIMITIVETYPE},
    {"untransformed vertices", [](Call& c) { c.fvf = D3DFVF_XYZ | D3DFVF_TEX1; }, D3DERR_INVALIDVERTEXFORMAT},
    {"normal with XYZRHW", [](Call& c) { c.fvf |= D3DFVF_NORMAL; }, D3DERR_INVALIDVERTEXFORMAT},
    {"nine coordinate sets", [](Call& c) { c.fvf = D3DFVF_XYZRHW | 0x900; }, D3DERR_INVALIDVERTEXFORMAT},
    {"bits above the texture count", [](Call& c) { c.fvf |= 0x10000; }, D3DERR_INVALIDVERTEXFORMAT},
    {"no vertices", [](Call& c) { c.vertices = nullptr; }, DDERR_INVALIDPARAMS},
    {"no vertices and none to draw", [](Call& c) { c.vertices = nullptr, c.count = 0; }, D3D_OK},
    {"24-bit target",
     [](Call& c) {
         c.target.format = {24, 0xFF0000, 0xFF00, 0xFF, 0};
     },
     DDERR_INVALIDPIXELFORMAT},
    {"overlapping masks", [](Call& c) { c.target.format.gMask = 0x00FFFF00; }, DDERR_INVALIDPIXELFORMAT},
    {"no blue", [](Call& c) { c.target.format.bMask = 0; }, DDERR_INVALIDPIXELFORMAT},
    {"target without memory", [](Call& c) { c.target.bits = nullptr; }, DDERR_INVALIDPARAMS},
    {"pitch narrower than a row", [](Call& c) { c.target.pitch = 4; }, DDERR_INVALIDPARAMS},
    {"unknown colour operation", [](Call& c) { c.state.stage[0][D3DTSS_COLOROP] = 99; }, DDERR_INVALIDPARAMS},
    {"bump mapping", [](Call& c) { c.state.stage[0][D3DTSS_COLOROP] = D3DTOP_BUMPENVMAP; },
     DDERR_INVALIDPARAMS},
    {"premodulate", [](Call& c) { c.state.stage[0][D3DTSS_COLOROP] = D3DTOP_PREMODULATE; },
     DDERR_INVALIDPARAMS},
    {"colour-only operation as alpha operation",
     [](Call& c) { c.state.stage[0][D3DTSS_ALPHAOP] = D3DTOP_MODULATEALPHA_ADDCOLOR; }, DDERR_INVALIDPARAMS},
    {"unknown argument", [](Call& c) { c.state.stage[0][D3DTSS_COLORARG2] = 5; }, DDERR_INVALIDPARAMS},
    {"unknown argument modifier", [](Call& c) { c.state.stage[0][D3DTSS_ALPHAARG1] |= 0x40; },
     DDERR_INVALIDPARAMS},
    {"coordinate set 8", [](Call& c) { c.state.stage[0][D3DTSS_TEXCOORDINDEX] = 8; }, DDERR_INVALIDPARAMS},
    {"unknown address mode", [](Call& c) { c.state.stage[0][D3DTSS_ADDRESSV] = 5; }, DDERR_INVALIDPARAMS},
    {"unknown filter", [](Call& c) { c.state.stage[0][D3DTSS_MINFILTER] = 0; }, DDERR_INVALIDPARAMS},
    {"unknown depth comparison", [](Call& c) { c.state.render[D3DRENDERSTATE_ZFUNC] = 0; },
     DDERR_INVALIDPARAMS},
    {"unknown cull mode", [](Call& c) { c.state.render[D3DRENDERSTATE_CULLMODE] = 4; }, DDERR_INVALIDPARAMS},
    {"unknown blend factor",
     [](Call& c) {
         c.state.render[D3DRENDERSTATE_ALPHABLENDENABLE] = TRUE;
         c.state.render[D3DRENDERSTATE_SRCBLEND] = 14;
     },
     DDERR_INVALIDPARAMS},
    // What the draw does not read may hold anything, as on a device.
    {"unknown blend factor with blending off", [](Call& c) { c.state.render[D3DRENDERSTATE_SRCBLEND] = 14; },
     D3D_OK},
    {"unknown operation past a disabled stage", [](Call& c) { c.state.stage[2][D3DTSS_COLOROP] = 99; },
     D3D_OK},
    {"texture in a format it cannot read",
     [](Call& c) {
         static const Surface odd{nullptr, 3, 1, 1, {24, 0xFF0000, 0xFF00, 0xFF, 0}};
         c.state.texture[0] = &odd;
     },
     DDERR_INVALIDPIXELFORMAT},
    {"unreadable texture on a stage that does not read it",
     [](Call& c) {
         static const Surface odd{nullptr, 3, 1, 1, {24, 0xFF0000, 0xFF00, 0xFF, 0}};
         c.state.texture[0] = &odd;
         c.state.stage[0][D3DTSS_COLORARG1] = D3DTA_DIFFUSE;
         c.state.stage[0][D3DTSS_ALPHAARG1] = D3DTA_DIFFUSE;
     },
     D3D_OK},
    {"Z-buffer of an unknown depth",
     [](Call& c) {
         static DepthSurface odd{reinterpret_cast<uint8_t*>(&odd), 64, 8, 8, 8, 0xFF};
         c.depth = &odd;
         c.state.render[D3DRENDERSTATE_ZENABLE] = D3DZB_TRUE;
     },
     DDERR_INVALIDPARAMS},
};

void PrintTo(const ArgumentCase& c, std::ostream* os) { *os << c.name; }

class Arguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(Arguments, AreCheckedBeforeAnythingIsDrawn)
{
    const ArgumentCase& c = GetParam();
    Image texture(1, 1, kArgb8888);
    texture.SetRaw(0, 0, 0xFF123456);
    Image target(8, 8, kArgb8888);
    const std::array<TLVertex, 4> quad = Quad(8, 8);
    Call call{Textured(texture), target.surface(), nullptr, D3DPT_TRIANGLESTRIP,
              kTLVertexFvf,      quad.data(),      4};
    c.change(call);
    EXPECT_EQ(c.expected, standin::raster::Draw(call.state, call.target, call.depth, call.type, call.fvf,
                                                call.vertices, call.count, 0));
    uint32_t expected = 0;  // nothing drawn
    if (c.expected == D3D_OK && call.count > 0) {
        expected = call.state.stage[0][D3DTSS_COLORARG1] == D3DTA_TEXTURE ? 0xFF123456 : 0xFFFFFFFF;
    }
    EXPECT_EQ(expected, target.Raw(3, 3));
    EXPECT_TRUE(target.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Draw, Arguments, ::testing::ValuesIn(kArguments),
                         [](const ::testing::TestParamInfo<ArgumentCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

// ---------------------------------------------------------------- garbage

enum class Drawn { Nothing, Everything };

struct GarbageCase {
    const char* name;
    std::function<void(std::array<TLVertex, 3>&)> change;
    Drawn drawn;
    bool depthTest = false;
    DWORD flags = 0;
};

void PrintTo(const GarbageCase& c, std::ostream* os) { *os << c.name; }

// One clockwise triangle well over the 16 x 16 target, spoilt by each case.
std::array<TLVertex, 3> Cover()
{
    return {{{-1, -1, 0.5f, 1, 0xFF00FF00, 0, 0, 0},
             {40, -1, 0.5f, 1, 0xFF00FF00, 0, 1, 0},
             {-1, 40, 0.5f, 1, 0xFF00FF00, 0, 0, 1}}};
}

const GarbageCase kGarbage[] = {
    {"x not a number", [](auto& v) { v[1].x = kNaN; }, Drawn::Nothing},
    {"y infinite", [](auto& v) { v[2].y = kInf; }, Drawn::Nothing},
    {"x minus infinity", [](auto& v) { v[0].x = -kInf; }, Drawn::Nothing},
    {"coordinates far beyond every side",
     [](auto& v) {
         v[0].x = -1e30f, v[1].x = 1e30f, v[2].x = 0;
         v[2].y = 1e30f;
     },
     Drawn::Everything},
    {"coordinates at the float limits",
     [](auto& v) {
         v[0].x = -FLT_MAX, v[1].x = FLT_MAX, v[2].x = 0;
         v[2].y = FLT_MAX;
     },
     Drawn::Everything},
    {"triangle far off the target",
     [](auto& v) {
         for (TLVertex& p : v) {
             p.x += 1e6f;
             p.y -= 3e7f;
         }
     },
     Drawn::Nothing},
    {"rhw 0 everywhere", [](auto& v) { v[0].rhw = v[1].rhw = v[2].rhw = 0; }, Drawn::Everything},
    {"rhw 0 at one vertex", [](auto& v) { v[1].rhw = 0; }, Drawn::Everything},
    {"rhw negative", [](auto& v) { v[2].rhw = -1; }, Drawn::Everything},
    {"rhw not a number", [](auto& v) { v[0].rhw = kNaN; }, Drawn::Everything},
    {"rhw infinite", [](auto& v) { v[0].rhw = kInf; }, Drawn::Everything},
    {"rhw the smallest denormal", [](auto& v) { v[0].rhw = std::numeric_limits<float>::denorm_min(); },
     Drawn::Everything},
    {"rhw at the float limit", [](auto& v) { v[1].rhw = FLT_MAX; }, Drawn::Everything},
    {"z not a number with the depth test", [](auto& v) { v[0].z = kNaN; }, Drawn::Nothing, true},
    {"z not a number without the depth test", [](auto& v) { v[0].z = kNaN; }, Drawn::Everything},
    {"z infinite without clipping", [](auto& v) { v[0].z = v[1].z = v[2].z = kInf; }, Drawn::Everything, true,
     D3DDP_DONOTCLIP},
    {"texture coordinates not numbers", [](auto& v) { v[0].u = kNaN, v[1].v = kNaN; }, Drawn::Everything},
    {"texture coordinates infinite", [](auto& v) { v[0].u = kInf, v[2].v = -kInf; }, Drawn::Everything},
    {"texture coordinates at the float limits", [](auto& v) { v[1].u = FLT_MAX, v[2].v = -FLT_MAX; },
     Drawn::Everything},
};

class Garbage : public ::testing::TestWithParam<GarbageCase> {};

// Whatever a triangle is drawn with, every pixel it writes holds the one
// texel of its texture, under both filters and every address mode.
TEST_P(Garbage, NeverWritesOutsideTheTarget)
{
    const GarbageCase& c = GetParam();
    Image texture(2, 2, kArgb8888);
    texture.Fill(0xFF0000FF);
    for (DWORD filter : {D3DTFG_POINT, D3DTFG_LINEAR}) {
        for (DWORD address : {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP}) {
            Image target(16, 16, kArgb8888);
            DepthImage depth(16, 16);
            depth.Clear(1.0f);
            DeviceState state = Textured(texture);
            SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
            state.render[D3DRENDERSTATE_CULLMODE] = D3DCULL_NONE;
            state.render[D3DRENDERSTATE_ZENABLE] = c.depthTest ? D3DZB_TRUE : D3DZB_FALSE;
            SetStage(state, 0, D3DTSS_MAGFILTER, filter);
            SetStage(state, 0, D3DTSS_MINFILTER, filter);
            SetStage(state, 0, D3DTSS_ADDRESS, address);
            std::array<TLVertex, 3> v = Cover();
            c.change(v);
            ASSERT_EQ(D3D_OK, standin::raster::Draw(state, target.surface(), depth.surface(),
                                                    D3DPT_TRIANGLELIST, kTLVertexFvf, v.data(), 3, c.flags));
            EXPECT_TRUE(target.GuardsIntact()) << "filter " << filter << " address " << address;
            const uint32_t expected = c.drawn == Drawn::Everything ? 0xFF0000FF : 0;
            EXPECT_EQ(std::vector<uint32_t>(256, expected), target.Pixels())
                << "filter " << filter << " address " << address;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Vertices, Garbage, ::testing::ValuesIn(kGarbage),
                         [](const ::testing::TestParamInfo<GarbageCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

// Far-off vertices keep their edges' directions: the edge from (0, 0) to
// (2e9, 1e9) runs through the centres (2k, k), which lie on a right edge
// and so are outside.
TEST(GarbageRhw, FarVerticesKeepTheirEdgesExact)
{
    struct Vertex {
        float x, y, z, rhw;
    };
    const Vertex v[3] = {{0, 0, 0, 1}, {2e9f, 1e9f, 0, 1}, {0, 1e9f, 0, 1}};
    Image target(16, 16, kArgb8888);
    DeviceState state = standin::raster::DefaultDeviceState(false);
    ASSERT_EQ(D3D_OK, standin::raster::Draw(state, target.surface(), nullptr, D3DPT_TRIANGLELIST,
                                            D3DFVF_XYZRHW, v, 3, 0));
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 16; ++x) {
            ASSERT_EQ(2 * y > x ? 0xFFFFFFFFu : 0u, target.Raw(x, y)) << x << "," << y;
        }
    }
}

// A vertex with rhw 0 cannot weigh its triangle in perspective, so that
// triangle interpolates linearly on screen: red 255 x / 8 at pixel x.
TEST(GarbageRhw, TrianglesWithRhwZeroInterpolateLinearlyOnScreen)
{
    Image target(8, 1, kArgb8888);
    DeviceState state = standin::raster::DefaultDeviceState(false);
    SetStage(state, 0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    SetStage(state, 0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    std::array<TLVertex, 4> quad = Quad(8, 1, 0xFF000000);
    quad[2].diffuse = quad[3].diffuse = 0xFFFF0000;
    quad[2].rhw = quad[3].rhw = 0;
    ASSERT_EQ(D3D_OK, DrawStrip(state, target, nullptr, quad));
    EXPECT_EQ(0xFF400000u, target.At(2, 0));  // 63.75
    EXPECT_EQ(0xFF9F0000u, target.At(5, 0));  // 159.4
}

// The probe's second draw without culling or depth test: its triangle
// (v0, v1, v2) has rhw 0 at v1 and NaN texture coordinates, and reaches
// from (0, 0) down to (0, 256) no wider than a pixel.
TEST(GarbageRhw, ProbesMisreadVertexBlockStaysInTheFirstColumn)
{
    const float w = 256, h = 256;
    const uint32_t block[36] = {
        0, 0, 0, 0x3F800000, 0xFFFFDDAA, 0,          0x3F800000, 0,          0x3F800000,  // v0
        0, 0, 0, 0x3F800000, 0x80FF80DD, 0,          0,          0,          0,           // v1
        0, 0, 0, 0x3F800000, 0xFFFFDDAA, 0x3F800000, 0x3F800000, 0x3F800000, 0x3F800000,  // v2
        0, 0, 0, 0x3F800000, 0x80FF80DD, 0x3F800000, 0,          0x3F800000, 0};          // v3
    uint32_t words[36];
    std::memcpy(words, block, sizeof words);
    // x and y of the four vertices (words 0, 1, 9, 10, 18, 19, 27, 28)
    const float xy[8] = {0, h, 0, 0, w, h, w, 0};
    const int at[8] = {0, 1, 9, 10, 18, 19, 27, 28};
    for (int i = 0; i < 8; ++i) {
        std::memcpy(&words[at[i]], &xy[i], 4);
    }
    Image texture(128, 128, kArgb8888);
    texture.Fill(0xFFFF0000);
    Image target(256, 256, kArgb8888);
    DeviceState state = Textured(texture);
    state.render[D3DRENDERSTATE_CULLMODE] = D3DCULL_NONE;
    state.render[D3DRENDERSTATE_ALPHABLENDENABLE] = TRUE;
    state.render[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    state.render[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ONE;
    ASSERT_EQ(D3D_OK, standin::raster::Draw(state, target.surface(), nullptr, D3DPT_TRIANGLESTRIP,
                                            D3DFVF_XYZRHW | D3DFVF_TEX2, words, 4, 0));
    EXPECT_TRUE(target.GuardsIntact());
    for (uint32_t y = 0; y < 256; ++y) {
        EXPECT_EQ(0xFFFF0000u, target.Raw(0, y)) << y;
        for (uint32_t x = 1; x < 256; ++x) {
            ASSERT_EQ(0u, target.Raw(x, y)) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace rastertest
