// DrawPrimitive's work: checking what it was given, assembling triangles
// from the vertex stream and handing each to setup and scan.
#include "standin/raster/pipeline.h"

namespace standin::raster {
namespace {

bool IsTrianglePrimitive(D3DPRIMITIVETYPE type)
{
    return type == D3DPT_TRIANGLELIST || type == D3DPT_TRIANGLESTRIP || type == D3DPT_TRIANGLEFAN;
}

uint32_t TriangleCount(D3DPRIMITIVETYPE type, DWORD vertexCount)
{
    if (type == D3DPT_TRIANGLELIST) {
        return vertexCount / 3;
    }
    return vertexCount >= 3 ? vertexCount - 2 : 0;
}

// Triangle n of the primitive, as source vertex indices in drawing order
// and the index of the vertex that flat shading takes.
struct Indices {
    uint32_t v[3];
    uint32_t flat;
};

Indices TriangleIndices(D3DPRIMITIVETYPE type, uint32_t n)
{
    switch (type) {
        case D3DPT_TRIANGLESTRIP:
            // Every other triangle of a strip runs the other way round; its
            // last two vertices swap so that all keep the strip's winding.
            if (n % 2 == 1) {
                return {{n, n + 2, n + 1}, 0};
            }
            return {{n, n + 1, n + 2}, 0};
        case D3DPT_TRIANGLEFAN:
            // A fan's triangles share vertex 0; the flat colour is the first
            // vertex of the triangle's own edge on the rim.
            return {{0, n + 1, n + 2}, 1};
        default:
            return {{3 * n, 3 * n + 1, 3 * n + 2}, 0};
    }
}

HRESULT CheckTextures(const DeviceState& state, uint32_t stageCount)
{
    for (uint32_t s = 0; s < stageCount; ++s) {
        if (!StageReadsTexture(state, s)) {
            continue;
        }
        const Surface& texture = *state.texture[s];
        if (!FormatIsSupported(texture.format)) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        if (!SurfaceIsUsable(texture)) {
            return DDERR_INVALIDPARAMS;
        }
    }
    return D3D_OK;
}

// The Z-buffer the draw tests against, or null: the depth test needs
// ZENABLE and a buffer covering the whole target, as drivers do.
DepthSurface* ActiveDepth(const DeviceState& state, const Surface& target, DepthSurface* depth)
{
    if (depth == nullptr || state.render[D3DRENDERSTATE_ZENABLE] == D3DZB_FALSE) {
        return nullptr;
    }
    if (depth->width < target.width || depth->height < target.height) {
        return nullptr;
    }
    return depth;
}

HRESULT Check(const DeviceState& state, const Surface& target, const DepthSurface* depth,
              D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices, DWORD vertexCount)
{
    if (!IsTrianglePrimitive(type)) {
        return D3DERR_INVALIDPRIMITIVETYPE;
    }
    if (!VertexFormatIsModelled(fvf)) {
        return D3DERR_INVALIDVERTEXFORMAT;
    }
    if (vertices == nullptr && vertexCount > 0) {
        return DDERR_INVALIDPARAMS;
    }
    if (!FormatIsSupported(target.format)) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    if (!SurfaceIsUsable(target) || !StatesAreModelled(state)) {
        return DDERR_INVALIDPARAMS;
    }
    if (depth != nullptr && !DepthIsUsable(*depth)) {
        return DDERR_INVALIDPARAMS;
    }
    return CheckTextures(state, ActiveStageCount(state));
}

}  // namespace

HRESULT Draw(const DeviceState& state, Surface& target, DepthSurface* depth, D3DPRIMITIVETYPE type, DWORD fvf,
             const void* vertices, DWORD vertexCount, DWORD flags)
{
    depth = ActiveDepth(state, target, depth);
    const HRESULT hr = Check(state, target, depth, type, fvf, vertices, vertexCount);
    if (hr != D3D_OK) {
        return hr;
    }
    DrawContext context{state, target, depth, (flags & D3DDP_DONOTCLIP) == 0, ActiveStageCount(state), {}};
    for (uint32_t s = 0; s < context.stageCount; ++s) {
        context.samples[s] = StageReadsTexture(state, s);
    }
    const uint32_t count = TriangleCount(type, vertexCount);
    for (uint32_t n = 0; n < count; ++n) {
        const Indices indices = TriangleIndices(type, n);
        Triangle triangle;
        for (int i = 0; i < 3; ++i) {
            triangle.v[i] = FetchVertex(vertices, fvf, indices.v[i]);
        }
        triangle.flat = indices.flat;
        TriangleSetup setup;
        if (SetupTriangle(state, triangle, target.width, target.height, &setup)) {
            RasterizeTriangle(context, setup);
        }
    }
    return D3D_OK;
}

}  // namespace standin::raster
