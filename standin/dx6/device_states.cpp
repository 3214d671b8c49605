// A new device's render and texture-stage states: the DirectX 6 defaults
// the reference rasterizer knows, as Wine (OpenGL renderer) reads them back
// right after CreateDevice.
#include <algorithm>

#include "standin/dx6/device.h"
#include "standin/raster/raster.h"

namespace standin::dx6 {

std::array<DWORD, runtime::kRenderStateCount> DefaultRenderStates(bool hasZBuffer)
{
    const raster::DeviceState defaults = raster::DefaultDeviceState(hasZBuffer);
    std::array<DWORD, runtime::kRenderStateCount> states{};
    std::copy_n(defaults.render, states.size(), states.begin());
    return states;
}

std::array<DWORD, runtime::kStageStateCount> DefaultStageStates(DWORD stage)
{
    const raster::DeviceState defaults = raster::DefaultDeviceState(false);
    std::array<DWORD, runtime::kStageStateCount> states{};
    std::copy_n(defaults.stage[stage], states.size(), states.begin());
    return states;
}

}  // namespace standin::dx6
