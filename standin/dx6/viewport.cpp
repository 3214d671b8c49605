#include "standin/dx6/viewport.h"

#include <algorithm>

#include "standin/dx6/call.h"
#include "standin/dx6/device.h"
#include "standin/dx6/formats.h"
#include "standin/dx6/surface.h"

namespace standin::dx6 {

struct Viewport::ViewportInterface final : IDirect3DViewport3 {
    explicit ViewportInterface(Viewport& owner) : self(owner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return Dispatch("IDirect3DViewport3::QueryInterface", this,
                        [&] { return self.QueryInterface(riid, object); });
    }
    ULONG AddRef() override
    {
        return DispatchCount(
            "IDirect3DViewport3::AddRef", this, [&] { return self.AddRef(); }, [&] { return self.Count(); });
    }
    ULONG Release() override
    {
        return DispatchCount(
            "IDirect3DViewport3::Release", this, [&] { return self.Release(); },
            [&] { return self.Count(); });
    }
    HRESULT SetViewport2(D3DVIEWPORT2* data) override
    {
        return Dispatch("IDirect3DViewport3::SetViewport2", this, [&] { return self.SetViewport2(data); });
    }
    HRESULT Clear2(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE z,
                   DWORD stencil) override
    {
        return Dispatch("IDirect3DViewport3::Clear2", this,
                        [&] { return self.Clear2(count, rects, flags, color, z, stencil); });
    }

    Viewport& self;
};

Viewport::Viewport() : viewport3_(std::make_unique<ViewportInterface>(*this)) {}

Viewport::~Viewport() = default;

Viewport* Viewport::Create()
{
    auto* viewport = new Viewport();
    viewport->AddRef();
    return viewport;
}

Viewport* Viewport::From(IDirect3DViewport3* viewport)
{
    return viewport ? &static_cast<ViewportInterface*>(viewport)->self : nullptr;
}

IDirect3DViewport3* Viewport::AsViewport3() { return viewport3_.get(); }

HRESULT Viewport::QueryInterface(REFIID riid, void** object)
{
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDirect3DViewport3) return E_NOINTERFACE;
    AddRef();
    *object = AsViewport3();
    return S_OK;
}

ULONG Viewport::AddRef() { return ++refs_; }

ULONG Viewport::Release()
{
    if (refs_ == 0) return 0;
    ULONG count = --refs_;
    if (count == 0) delete this;  // a device holds a reference while it knows the viewport
    return count;
}

// The rectangle must lie within the device's render target.
HRESULT Viewport::SetViewport2(D3DVIEWPORT2* data)
{
    if (!data || data->dwSize != sizeof(D3DVIEWPORT2)) return DDERR_INVALIDPARAMS;
    if (!device_) return D3DERR_VIEWPORTHASNODEVICE;
    const SurfaceShape& target = device_->RenderTarget().Shape();
    if (data->dwX > target.width || data->dwWidth > target.width - data->dwX || data->dwY > target.height ||
        data->dwHeight > target.height - data->dwY)
        return DDERR_INVALIDPARAMS;
    data_ = *data;
    dataSet_ = true;
    return D3D_OK;
}

namespace {

// The part of rect inside the viewport and inside the surface.
bool Clip(const D3DRECT& rect, const D3DVIEWPORT2& viewport, const SurfaceShape& shape, RECT* out)
{
    long long left = std::max<long long>({rect.x1, viewport.dwX, 0});
    long long top = std::max<long long>({rect.y1, viewport.dwY, 0});
    long long right =
        std::min<long long>({rect.x2, static_cast<long long>(viewport.dwX) + viewport.dwWidth, shape.width});
    long long bottom = std::min<long long>(
        {rect.y2, static_cast<long long>(viewport.dwY) + viewport.dwHeight, shape.height});
    if (left >= right || top >= bottom) return false;
    *out = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                static_cast<LONG>(bottom)};
    return true;
}

void FillRect(Surface& surface, const RECT& rect, uint32_t (*value)(uint32_t previous, const void* context),
              const void* context)
{
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) {
            uint8_t* at = surface.PixelAt(x, y);
            StorePixel(at, surface.BytesPerPixel(), value(LoadPixel(at, surface.BytesPerPixel()), context));
        }
    }
}

struct DepthFill {
    const DDPIXELFORMAT* format;
    float z;
    DWORD stencil;
    bool depth, withStencil;
};

}  // namespace

HRESULT Viewport::Clear2(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE z, DWORD stencil)
{
    if (!device_) return D3DERR_VIEWPORTHASNODEVICE;
    Surface& target = device_->RenderTarget();
    Surface* zBuffer = target.AttachedZBuffer();
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !zBuffer) return D3DERR_INVALIDCALL;
    // No rectangles, or a viewport never set (an empty one), clear nothing.
    if (!rects || !count || !dataSet_) return D3D_OK;
    if (target.Lost() || (zBuffer && zBuffer->Lost())) return DDERR_SURFACELOST;

    uint32_t pixel = PackColor(target.Shape().format, color);
    DepthFill depth{zBuffer ? &zBuffer->Shape().format : nullptr, z, stencil, (flags & D3DCLEAR_ZBUFFER) != 0,
                    (flags & D3DCLEAR_STENCIL) != 0};
    for (DWORD i = 0; i < count; ++i) {
        RECT area;
        if ((flags & D3DCLEAR_TARGET) && Clip(rects[i], data_, target.Shape(), &area)) {
            FillRect(
                target, area,
                [](uint32_t, const void* value) { return *static_cast<const uint32_t*>(value); }, &pixel);
        }
        if (zBuffer && (depth.depth || depth.withStencil) && Clip(rects[i], data_, zBuffer->Shape(), &area)) {
            FillRect(
                *zBuffer, area,
                [](uint32_t previous, const void* context) {
                    const auto* fill = static_cast<const DepthFill*>(context);
                    return PackDepth(*fill->format, fill->z, fill->stencil, fill->depth, fill->withStencil,
                                     previous);
                },
                &depth);
        }
    }
    return D3D_OK;
}

}  // namespace standin::dx6
