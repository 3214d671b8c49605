// A device's draws are rendered by the reference rasterizer: the surfaces'
// memory and the device's states, in the rasterizer's terms.
#include <algorithm>

#include "standin/dx6/draw.h"
#include "standin/dx6/formats.h"
#include "standin/raster/raster.h"

namespace standin::dx6 {

namespace {

raster::Surface ColorSurfaceOf(const SurfaceMemory& memory)
{
    return {memory.bits, memory.pitch, memory.width, memory.height, RasterFormatOf(memory.format)};
}

raster::DepthSurface DepthSurfaceOf(const SurfaceMemory& memory)
{
    return {memory.bits,  memory.pitch, memory.width, memory.height, memory.format.dwZBufferBitDepth,
            memory.format.dwZBitMask};
}

raster::DeviceState StatesOf(const runtime::DrawRecord& draw)
{
    raster::DeviceState state = raster::DefaultDeviceState(draw.zBuffer != nullptr);
    std::copy(draw.renderStates.begin(), draw.renderStates.end(), state.render);
    for (DWORD stage = 0; stage < runtime::kTextureStageCount; ++stage)
        std::copy(draw.stageStates[stage].begin(), draw.stageStates[stage].end(), state.stage[stage]);
    return state;
}

}  // namespace

// Only each texture's top level is sampled: the rasterizer has no mipmapping.
HRESULT RenderWithReferenceRasterizer(const runtime::DrawRecord& draw, const DrawTarget& target)
{
    static_assert(runtime::kRenderStateCount <= raster::kRenderStateCount, "render states fit");
    static_assert(runtime::kStageStateCount <= raster::kStageStateCount, "stage states fit");
    static_assert(runtime::kTextureStageCount <= raster::kStageCount, "stages fit");

    raster::DeviceState state = StatesOf(draw);
    raster::Surface textures[raster::kStageCount] = {};
    for (DWORD stage = 0; stage < runtime::kTextureStageCount; ++stage) {
        state.texture[stage] = nullptr;
        if (target.textures[stage].empty()) continue;
        textures[stage] = ColorSurfaceOf(target.textures[stage].front());
        state.texture[stage] = &textures[stage];
    }

    raster::Surface color = ColorSurfaceOf(target.color);
    raster::DepthSurface depth = {};
    raster::DepthSurface* depthOrNone = nullptr;
    if (target.hasDepth) {
        depth = DepthSurfaceOf(target.depth);
        depthOrNone = &depth;
    }
    return raster::Draw(state, color, depthOrNone, draw.type, draw.fvf, draw.vertices.data(), draw.vertexCount,
                        draw.flags);
}

}  // namespace standin::dx6
