// What a rasterizer gets for each DrawPrimitive: the call with the device's
// state (the journal's DrawRecord) and the memory it draws into and reads
// from. The memory is valid only during the call.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "standin/control/runtime.h"

namespace standin::dx6 {

struct SurfaceMemory {
    uint8_t* bits = nullptr;  // the top-left pixel
    LONG pitch = 0;           // bytes from one row to the next
    DWORD width = 0, height = 0;
    DDPIXELFORMAT format{};
};

struct DrawTarget {
    SurfaceMemory color;
    bool hasDepth = false;  // a Z-buffer is attached to the render target
    SurfaceMemory depth;
    // Each stage's texture as its levels, the largest first; empty for no texture.
    std::array<std::vector<SurfaceMemory>, runtime::kTextureStageCount> textures;
};

// What the rasterizer answers is what DrawPrimitive answers; the call stays
// in the record either way.
using Rasterizer = std::function<HRESULT(const runtime::DrawRecord& draw, const DrawTarget& target)>;

// The reference rasterizer, which renders every device's draws unless a
// test puts another in its place.
HRESULT RenderWithReferenceRasterizer(const runtime::DrawRecord& draw, const DrawTarget& target);

// The rasterizer every device hands its primitives to; null puts the
// reference rasterizer back.
void SetRasterizer(Rasterizer rasterizer);
const Rasterizer& CurrentRasterizer();

// The number of vertices of a format's size, and of the primitives a vertex
// count makes.
DWORD VertexSize(DWORD fvf);
DWORD PrimitiveCount(D3DPRIMITIVETYPE type, DWORD vertexCount);

}  // namespace standin::dx6
