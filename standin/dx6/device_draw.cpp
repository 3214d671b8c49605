// DrawPrimitive: the arguments are checked, the call is recorded with the
// device's state, and the rasterizer draws it.
#include <cstring>

#include "standin/dx6/device.h"
#include "standin/dx6/draw.h"
#include "standin/dx6/state.h"
#include "standin/dx6/surface.h"
#include "standin/dx6/viewport.h"

namespace standin::dx6 {

namespace {

Rasterizer& RasterizerSlot()
{
    static Rasterizer rasterizer = RenderWithReferenceRasterizer;
    return rasterizer;
}

bool KnownPrimitive(D3DPRIMITIVETYPE type) { return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN; }

SurfaceMemory MemoryOf(Surface& surface)
{
    SurfaceMemory memory;
    memory.bits = surface.Bits();
    memory.pitch = surface.Pitch();
    memory.width = surface.Shape().width;
    memory.height = surface.Shape().height;
    memory.format = surface.Shape().format;
    return memory;
}

std::vector<SurfaceMemory> LevelsOf(Surface* texture)
{
    std::vector<SurfaceMemory> levels;
    for (Surface* level = texture; level; level = level->FindAttached(DDSCAPS_MIPMAP)) {
        levels.push_back(MemoryOf(*level));
    }
    return levels;
}

}  // namespace

void SetRasterizer(Rasterizer rasterizer)
{
    RasterizerSlot() = rasterizer ? std::move(rasterizer) : Rasterizer(RenderWithReferenceRasterizer);
}

const Rasterizer& CurrentRasterizer() { return RasterizerSlot(); }

DWORD VertexSize(DWORD fvf)
{
    DWORD size = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
        case D3DFVF_XYZ:
            size = 12;
            break;
        case D3DFVF_XYZRHW:
            size = 16;
            break;
        default:
            return 0;
    }
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_RESERVED1) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    size += 8 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);  // two floats per set
    return size;
}

DWORD PrimitiveCount(D3DPRIMITIVETYPE type, DWORD vertexCount)
{
    switch (type) {
        case D3DPT_POINTLIST:
            return vertexCount;
        case D3DPT_LINELIST:
            return vertexCount / 2;
        case D3DPT_LINESTRIP:
            return vertexCount >= 2 ? vertexCount - 1 : 0;
        case D3DPT_TRIANGLELIST:
            return vertexCount / 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return vertexCount >= 3 ? vertexCount - 2 : 0;
    }
    return 0;
}

// Like DirectX 6 drivers, a draw outside a scene is not refused, and a
// vertex count that makes no primitive draws nothing and succeeds.
HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD vertexCount,
                              DWORD flags)
{
    if (!KnownPrimitive(type)) return D3DERR_INVALIDPRIMITIVETYPE;
    if (VertexSize(fvf) == 0 || (fvf & D3DFVF_TEXCOUNT_MASK) > D3DFVF_TEX8) return D3DERR_INVALIDVERTEXFORMAT;
    if (vertexCount == 0) return D3D_OK;
    if (!vertices) return DDERR_INVALIDPARAMS;
    if (target_->Lost()) return DDERR_SURFACELOST;
    if (PrimitiveCount(type, vertexCount) == 0) return D3D_OK;

    const runtime::DrawRecord& draw = State().draws.emplace_back(Record(type, fvf, vertices, vertexCount, flags));
    return CurrentRasterizer()(draw, Target());
}

// The memory the draw writes and reads, valid during the call.
DrawTarget Device::Target()
{
    DrawTarget target;
    target.color = MemoryOf(*target_);
    if (Surface* zBuffer = target_->AttachedZBuffer()) {
        target.hasDepth = true;
        target.depth = MemoryOf(*zBuffer);
    }
    for (DWORD stage = 0; stage < runtime::kTextureStageCount; ++stage)
        target.textures[stage] = LevelsOf(textures_[stage]);
    return target;
}

runtime::DrawRecord Device::Record(D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices, DWORD vertexCount,
                                   DWORD flags)
{
    runtime::DrawRecord draw;
    draw.device = AsDevice3();
    draw.type = type;
    draw.fvf = fvf;
    const auto* bytes = static_cast<const unsigned char*>(vertices);
    draw.vertices.assign(bytes, bytes + static_cast<size_t>(VertexSize(fvf)) * vertexCount);
    draw.vertexCount = vertexCount;
    draw.flags = flags;
    draw.inScene = inScene_;
    draw.renderTarget = target_->AsSurface4();
    Surface* zBuffer = target_->AttachedZBuffer();
    draw.zBuffer = zBuffer ? zBuffer->AsSurface4() : nullptr;
    if (current_) draw.viewport = current_->Data();
    draw.renderStates = renderStates_;
    draw.stageStates = stageStates_;
    for (DWORD stage = 0; stage < runtime::kTextureStageCount; ++stage)
        draw.textures[stage] = textures_[stage] ? textures_[stage]->AsTexture2() : nullptr;
    return draw;
}

}  // namespace standin::dx6
