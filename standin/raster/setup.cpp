// Vertex fetch and triangle setup: reading flexible-format vertices, culling,
// snapping to the subpixel grid and deriving the edges the scan tests.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

#include "standin/raster/pipeline.h"

namespace standin::raster {
namespace {

constexpr DWORD kModelledBits = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK;

// Coordinates beyond this many pixels from the origin (2^40, where a float
// no longer tells pixels apart) are pulled in to it, so that every edge
// product fits in 128 bits: a real rasterizer's guard band.
constexpr double kGuardBand = static_cast<double>(int64_t{1} << 40);

uint32_t TexCount(DWORD fvf) { return (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT; }

uint32_t Stride(DWORD fvf)
{
    uint32_t stride = 16;
    stride += (fvf & D3DFVF_DIFFUSE) ? 4 : 0;
    stride += (fvf & D3DFVF_SPECULAR) ? 4 : 0;
    return stride + 8 * TexCount(fvf);
}

template <typename T>
T Load(const uint8_t*& p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    p += sizeof v;
    return v;
}

int64_t Snap(float coordinate)
{
    const double c = std::clamp(static_cast<double>(coordinate), -kGuardBand, kGuardBand);
    return static_cast<int64_t>(std::floor(c * kSubpixelOne + 0.5));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

bool Culled(uint32_t cullMode, EdgeValue signedArea)
{
    // With y pointing down, a positive signed area runs clockwise on screen.
    switch (cullMode) {
        case D3DCULL_NONE:
            return false;
        case D3DCULL_CW:
            return signedArea > 0;
        case D3DCULL_CCW:
            return signedArea < 0;
        default:
            assert(!"cull mode not validated");
            return true;
    }
}

// Top-left rule: a pixel centre exactly on an edge belongs to the triangle
// when the edge is a top edge (horizontal, the triangle below it) or a left
// edge (the triangle to its right). For clockwise triangles with y down
// those are the edges running right and the edges running up.
bool OwnsEdge(int64_t dx, int64_t dy) { return (dy == 0 && dx > 0) || dy < 0; }

bool Finite(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

}  // namespace

bool VertexFormatIsModelled(DWORD fvf)
{
    return (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW && (fvf & ~kModelledBits) == 0 && TexCount(fvf) <= 8;
}

Vertex FetchVertex(const void* vertices, DWORD fvf, uint32_t index)
{
    const uint8_t* p = static_cast<const uint8_t*>(vertices) + static_cast<size_t>(index) * Stride(fvf);
    Vertex v{};
    v.x = Load<float>(p);
    v.y = Load<float>(p);
    v.z = Load<float>(p);
    v.rhw = Load<float>(p);
    // Without colours a vertex is opaque white with no specular light.
    v.diffuse = ColorFromArgb((fvf & D3DFVF_DIFFUSE) ? Load<uint32_t>(p) : 0xFFFFFFFF);
    v.specular = ColorFromArgb((fvf & D3DFVF_SPECULAR) ? Load<uint32_t>(p) : 0x00000000);
    for (uint32_t t = 0; t < TexCount(fvf); ++t) {
        v.tex[t][0] = Load<float>(p);
        v.tex[t][1] = Load<float>(p);
    }
    return v;
}

EdgeValue TriangleSetup::Edge(int i, int64_t px, int64_t py) const
{
    const int a = (i + 1) % 3;
    const int b = (i + 2) % 3;
    return EdgeValue{x[b] - x[a]} * (py - y[a]) - EdgeValue{y[b] - y[a]} * (px - x[a]);
}

bool SetupTriangle(const DeviceState& state, const Triangle& tri, uint32_t width, uint32_t height,
                   TriangleSetup* s)
{
    // A vertex with no position has no place on screen: its triangle is dropped.
    if (!Finite(tri.v[0]) || !Finite(tri.v[1]) || !Finite(tri.v[2])) {
        return false;
    }
    s->source = &tri;
    s->order[0] = 0;
    s->order[1] = 1;
    s->order[2] = 2;
    for (int i = 0; i < 3; ++i) {
        s->x[i] = Snap(tri.v[i].x);
        s->y[i] = Snap(tri.v[i].y);
    }
    EdgeValue area = EdgeValue{s->x[1] - s->x[0]} * (s->y[2] - s->y[0]) -
                     EdgeValue{s->y[1] - s->y[0]} * (s->x[2] - s->x[0]);
    if (area == 0 || Culled(state.render[D3DRENDERSTATE_CULLMODE], area)) {
        return false;
    }
    if (area < 0) {  // a kept counter-clockwise triangle is scanned clockwise
        std::swap(s->order[1], s->order[2]);
        std::swap(s->x[1], s->x[2]);
        std::swap(s->y[1], s->y[2]);
        area = -area;
    }
    s->area = area;
    for (int i = 0; i < 3; ++i) {
        const int a = (i + 1) % 3;
        const int b = (i + 2) % 3;
        s->bias[i] = OwnsEdge(s->x[b] - s->x[a], s->y[b] - s->y[a]) ? 0 : -1;
    }

    // Colours and coordinates are interpolated in perspective from rhw. A
    // vertex whose rhw cannot weigh (zero, negative, not finite) makes the
    // whole triangle interpolate linearly on screen instead, so no weight
    // ever divides by zero.
    bool perspective = true;
    for (int i = 0; i < 3; ++i) {
        const float rhw = s->V(i).rhw;
        perspective = perspective && std::isfinite(rhw) && rhw > 0.0f;
    }
    for (int i = 0; i < 3; ++i) {
        s->w[i] = perspective ? s->V(i).rhw : 1.0;
    }

    // Pixel centres lie on integer coordinates: the candidates are the
    // centres within the bounding box, kept inside the target.
    const int64_t minX = CeilDiv(std::min({s->x[0], s->x[1], s->x[2]}), kSubpixelOne);
    const int64_t maxX = FloorDiv(std::max({s->x[0], s->x[1], s->x[2]}), kSubpixelOne);
    const int64_t minY = CeilDiv(std::min({s->y[0], s->y[1], s->y[2]}), kSubpixelOne);
    const int64_t maxY = FloorDiv(std::max({s->y[0], s->y[1], s->y[2]}), kSubpixelOne);
    s->minX = std::max<int64_t>(minX, 0);
    s->minY = std::max<int64_t>(minY, 0);
    s->maxX = std::min<int64_t>(maxX, static_cast<int64_t>(width) - 1);
    s->maxY = std::min<int64_t>(maxY, static_cast<int64_t>(height) - 1);
    return s->minX <= s->maxX && s->minY <= s->maxY;
}

}  // namespace standin::raster
