// Which pixels a triangle writes: pixel centres on integer coordinates, the
// top-left fill rule, culling and how lists, strips and fans are assembled.
// Pictures are the target's rows: '.' untouched, 'X' written once, '2'
// written twice (drawing adds with ONE/ONE blending, so overlaps show).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/standin/raster_support.h"

namespace rastertest {
namespace {

struct V {
    float x, y;
};
using Picture = std::vector<std::string>;

constexpr uint32_t kOnce = 0x40404040;

class Coverage : public ::testing::Test {
protected:
    Coverage()
    {
        state = standin::raster::DefaultDeviceState(false);
        SetStage(state, 0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        SetStage(state, 0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        SetStage(state, 0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        SetStage(state, 0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        state.render[D3DRENDERSTATE_ALPHABLENDENABLE] = TRUE;
        state.render[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
        state.render[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ONE;
        state.render[D3DRENDERSTATE_CULLMODE] = D3DCULL_NONE;
    }

    HRESULT Draw(D3DPRIMITIVETYPE type, const std::vector<V>& points)
    {
        struct Vertex {
            float x, y, z, rhw;
            uint32_t diffuse;
        };
        std::vector<Vertex> vertices;
        for (const V& p : points) {
            vertices.push_back({p.x, p.y, 0.5f, 1.0f, kOnce});
        }
        return standin::raster::Draw(state, target.surface(), nullptr, type, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                                     vertices.data(), static_cast<DWORD>(vertices.size()), 0);
    }

    Picture Drawn() const
    {
        Picture rows;
        for (uint32_t y = 0; y < 6; ++y) {
            std::string row;
            for (uint32_t x = 0; x < 6; ++x) {
                const uint32_t pixel = target.Raw(x, y);
                row += pixel == 0 ? '.' : pixel == kOnce ? 'X' : '2';
            }
            rows.push_back(row);
        }
        return rows;
    }

    DeviceState state{};
    Image target{6, 6, kArgb8888};
};

const Picture kBlock4 = {"XXXX..", "XXXX..", "XXXX..", "XXXX..", "......", "......"};

struct Shape {
    const char* name;
    D3DPRIMITIVETYPE type;
    std::vector<V> points;
    Picture expected;
};

// Each shape is a whole made of triangles that share edges; the shared
// edges run through pixel centres, so a pixel on one must go to exactly one
// triangle.
const Shape kShapes[] = {
    {"square split down-right",
     D3DPT_TRIANGLELIST,
     {{0, 0}, {4, 0}, {4, 4}, {0, 0}, {4, 4}, {0, 4}},
     kBlock4},
    {"square split down-left", D3DPT_TRIANGLELIST, {{0, 0}, {4, 0}, {0, 4}, {4, 0}, {4, 4}, {0, 4}}, kBlock4},
    {"square as a fan around its centre",
     D3DPT_TRIANGLEFAN,
     {{2, 2}, {0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}},
     kBlock4},
    {"square as two rectangles side by side",
     D3DPT_TRIANGLELIST,
     {{0, 0}, {2, 0}, {2, 4}, {0, 0}, {2, 4}, {0, 4}, {2, 0}, {4, 0}, {4, 4}, {2, 0}, {4, 4}, {2, 4}},
     kBlock4},
    {"square as two rectangles stacked",
     D3DPT_TRIANGLELIST,
     {{0, 0}, {4, 0}, {4, 2}, {0, 0}, {4, 2}, {0, 2}, {0, 2}, {4, 2}, {4, 4}, {0, 2}, {4, 4}, {0, 4}},
     kBlock4},
    // Edges between centres: the centres 1, 2 and 3 lie inside.
    {"square on half coordinates",
     D3DPT_TRIANGLESTRIP,
     {{0.5f, 3.5f}, {0.5f, 0.5f}, {3.5f, 3.5f}, {3.5f, 0.5f}},
     {"......", ".XXX..", ".XXX..", ".XXX..", "......", "......"}},
    // Centres 0, 1 and 2: a pixel's centre is its integer coordinate, not
    // its coordinate plus one half.
    {"square from minus one half",
     D3DPT_TRIANGLESTRIP,
     {{-0.5f, 2.5f}, {-0.5f, -0.5f}, {2.5f, 2.5f}, {2.5f, -0.5f}},
     {"XXX...", "XXX...", "XXX...", "......", "......", "......"}},
    // The top and left edges are in, the hypotenuse (a right edge) is out.
    {"triangle with its right angle top left",
     D3DPT_TRIANGLELIST,
     {{0, 0}, {4, 0}, {0, 4}},
     {"XXXX..", "XXX...", "XX....", "X.....", "......", "......"}},
    // Its complement: the hypotenuse is now a left edge and in; the right
    // and bottom edges are out.
    {"triangle with its right angle bottom right",
     D3DPT_TRIANGLELIST,
     {{4, 0}, {4, 4}, {0, 4}},
     {"......", "...X..", "..XX..", ".XXX..", "......", "......"}},
    // Thinner than a pixel, but over the centres of row 1.
    {"sliver over a row of centres",
     D3DPT_TRIANGLESTRIP,
     {{0, 1.25f}, {0, 0.75f}, {4, 1.25f}, {4, 0.75f}},
     {"......", "XXXX..", "......", "......", "......", "......"}},
    {"sliver between centres",
     D3DPT_TRIANGLESTRIP,
     {{0, 1.75f}, {0, 1.25f}, {4, 1.75f}, {4, 1.25f}},
     Picture(6, "......")},
};

void PrintTo(const Shape& s, std::ostream* os) { *os << s.name; }

class Shapes : public Coverage, public ::testing::WithParamInterface<Shape> {};

TEST_P(Shapes, CoverTheirPixelCentresOnce)
{
    const Shape& shape = GetParam();
    ASSERT_EQ(D3D_OK, Draw(shape.type, shape.points));
    EXPECT_EQ(shape.expected, Drawn()) << shape.name;
    EXPECT_TRUE(target.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(FillRule, Shapes, ::testing::ValuesIn(kShapes),
                         [](const ::testing::TestParamInfo<Shape>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

TEST_F(Coverage, CullModesDropTheMatchingWinding)
{
    // On screen, with y down: (0,0) -> (4,0) -> (0,4) turns clockwise.
    const std::vector<V> clockwise = {{0, 0}, {4, 0}, {0, 4}};
    const std::vector<V> counterClockwise = {{0, 0}, {0, 4}, {4, 0}};
    struct Case {
        DWORD cull;
        bool drawsClockwise, drawsCounterClockwise;
    };
    const Case cases[] = {{D3DCULL_NONE, true, true}, {D3DCULL_CW, false, true}, {D3DCULL_CCW, true, false}};
    for (const Case& c : cases) {
        state.render[D3DRENDERSTATE_CULLMODE] = c.cull;
        for (bool cw : {true, false}) {
            target.Fill(0);
            ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, cw ? clockwise : counterClockwise));
            EXPECT_EQ(cw ? c.drawsClockwise : c.drawsCounterClockwise, target.Raw(0, 0) != 0)
                << "cull " << c.cull << (cw ? " clockwise" : " counter-clockwise");
        }
    }
}

// Every other triangle of a strip is listed the other way round; a strip is
// still one surface and the default culling keeps all of it.
TEST_F(Coverage, StripsAndFansKeepOneWindingUnderDefaultCulling)
{
    state.render[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLESTRIP, {{0, 4}, {0, 0}, {2, 4}, {2, 0}, {4, 4}, {4, 0}}));
    EXPECT_EQ(kBlock4, Drawn());
    target.Fill(0);
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLEFAN, {{0, 0}, {4, 0}, {4, 4}, {0, 4}}));
    EXPECT_EQ(kBlock4, Drawn());
}

TEST_F(Coverage, ListsUseWholeTrianglesOnly)
{
    // Seven vertices: two triangles; the seventh vertex is ignored.
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, {{0, 0}, {4, 0}, {4, 4}, {0, 0}, {4, 4}, {0, 4}, {6, 6}}));
    EXPECT_EQ(kBlock4, Drawn());
    target.Fill(0);
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLESTRIP, {{0, 0}, {4, 0}}));
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLEFAN, {}));
    EXPECT_EQ(Picture(6, "......"), Drawn());
}

TEST_F(Coverage, DegenerateTrianglesDrawNothing)
{
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLELIST, {{0, 0}, {2, 2}, {4, 4}, {1, 1}, {1, 1}, {1, 1}}));
    EXPECT_EQ(Picture(6, "......"), Drawn());
}

TEST_F(Coverage, TrianglesPartlyOutsideTheTargetAreCutAtItsEdges)
{
    ASSERT_EQ(D3D_OK, Draw(D3DPT_TRIANGLESTRIP, {{-3, 9}, {-3, -3}, {9, 9}, {9, -3}}));
    EXPECT_EQ(Picture(6, "XXXXXX"), Drawn());
    EXPECT_TRUE(target.GuardsIntact());
}

}  // namespace
}  // namespace rastertest
