// The IDirect3D3 side of the DirectDraw object: Z-buffer formats, devices
// and viewports.
#include "standin/dx6/device.h"
#include "standin/dx6/directdraw.h"
#include "standin/dx6/state.h"
#include "standin/dx6/surface.h"
#include "standin/dx6/viewport.h"

namespace standin::dx6 {

HRESULT DirectDraw::EnumZBufferFormats(REFCLSID deviceGuid, LPD3DENUMPIXELFORMATSCALLBACK callback,
                                       void* context)
{
    // Every device type is offered the same formats.
    (void)deviceGuid;
    if (!callback) return DDERR_INVALIDPARAMS;
    std::vector<DDPIXELFORMAT> formats = State().zBufferFormats;  // a callback may change the plan
    for (const DDPIXELFORMAT& offered : formats) {
        DDPIXELFORMAT format = offered;
        if (callback(&format, context) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
}

HRESULT DirectDraw::CreateDevice(REFCLSID deviceGuid, IDirectDrawSurface4* target, IDirect3DDevice3** device,
                                 IUnknown* outer)
{
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!device) return DDERR_INVALIDPARAMS;
    *device = nullptr;
    Surface* surface = Surface::From(target);
    if (!surface || !KnownDevice(deviceGuid)) return DDERR_INVALIDPARAMS;
    if (!(surface->Shape().caps & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
    *device = Device::Create(*surface)->AsDevice3();
    return D3D_OK;
}

HRESULT DirectDraw::CreateViewport(IDirect3DViewport3** viewport, IUnknown* outer)
{
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!viewport) return DDERR_INVALIDPARAMS;
    *viewport = Viewport::Create()->AsViewport3();
    return D3D_OK;
}

}  // namespace standin::dx6
