#include "standin/dx6/directdraw.h"

#include "standin/dx6/call.h"
#include "standin/dx6/state.h"
#include "standin/dx6/surface.h"

namespace standin::dx6 {

struct DirectDraw::DirectDrawInterface final : IDirectDraw {
    explicit DirectDrawInterface(DirectDraw& owner) : self(owner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return Dispatch("IDirectDraw::QueryInterface", this,
                        [&] { return self.QueryInterface(riid, object); });
    }
    ULONG AddRef() override
    {
        return DispatchCount(
            "IDirectDraw::AddRef", this, [&] { return self.AddRef(kDirectDraw); },
            [&] { return self.Count(kDirectDraw); });
    }
    ULONG Release() override
    {
        return DispatchCount(
            "IDirectDraw::Release", this, [&] { return self.Release(kDirectDraw); },
            [&] { return self.Count(kDirectDraw); });
    }
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override
    {
        return Dispatch("IDirectDraw::SetCooperativeLevel", this,
                        [&] { return self.SetCooperativeLevel(window, flags); });
    }
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp) override
    {
        return Dispatch("IDirectDraw::SetDisplayMode", this,
                        [&] { return self.SetDisplayMode(width, height, bpp); });
    }
    HRESULT RestoreDisplayMode() override
    {
        return Dispatch("IDirectDraw::RestoreDisplayMode", this, [&] { return self.RestoreDisplayMode(); });
    }

    DirectDraw& self;
};

struct DirectDraw::DirectDraw4Interface final : IDirectDraw4 {
    explicit DirectDraw4Interface(DirectDraw& owner) : self(owner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return Dispatch("IDirectDraw4::QueryInterface", this,
                        [&] { return self.QueryInterface(riid, object); });
    }
    ULONG AddRef() override
    {
        return DispatchCount(
            "IDirectDraw4::AddRef", this, [&] { return self.AddRef(kDirectDraw4); },
            [&] { return self.Count(kDirectDraw4); });
    }
    ULONG Release() override
    {
        return DispatchCount(
            "IDirectDraw4::Release", this, [&] { return self.Release(kDirectDraw4); },
            [&] { return self.Count(kDirectDraw4); });
    }
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface4** surface, IUnknown* outer) override
    {
        return Dispatch("IDirectDraw4::CreateSurface", this,
                        [&] { return self.CreateSurface(desc, surface, outer); });
    }

    DirectDraw& self;
};

struct DirectDraw::Direct3D3Interface final : IDirect3D3 {
    explicit Direct3D3Interface(DirectDraw& owner) : self(owner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return Dispatch("IDirect3D3::QueryInterface", this,
                        [&] { return self.QueryInterface(riid, object); });
    }
    ULONG AddRef() override
    {
        return DispatchCount(
            "IDirect3D3::AddRef", this, [&] { return self.AddRef(kDirect3D3); },
            [&] { return self.Count(kDirect3D3); });
    }
    ULONG Release() override
    {
        return DispatchCount(
            "IDirect3D3::Release", this, [&] { return self.Release(kDirect3D3); },
            [&] { return self.Count(kDirect3D3); });
    }
    HRESULT CreateViewport(IDirect3DViewport3** viewport, IUnknown* outer) override
    {
        return Dispatch("IDirect3D3::CreateViewport", this,
                        [&] { return self.CreateViewport(viewport, outer); });
    }
    HRESULT EnumZBufferFormats(REFCLSID deviceGuid, LPD3DENUMPIXELFORMATSCALLBACK callback,
                               void* context) override
    {
        return Dispatch("IDirect3D3::EnumZBufferFormats", this,
                        [&] { return self.EnumZBufferFormats(deviceGuid, callback, context); });
    }
    HRESULT CreateDevice(REFCLSID deviceGuid, IDirectDrawSurface4* target, IDirect3DDevice3** device,
                         IUnknown* outer) override
    {
        return Dispatch("IDirect3D3::CreateDevice", this,
                        [&] { return self.CreateDevice(deviceGuid, target, device, outer); });
    }

    DirectDraw& self;
};

DirectDraw::DirectDraw()
    : directDraw_(std::make_unique<DirectDrawInterface>(*this)),
      directDraw4_(std::make_unique<DirectDraw4Interface>(*this)),
      direct3D3_(std::make_unique<Direct3D3Interface>(*this))
{
}

DirectDraw::~DirectDraw() = default;

DirectDraw* DirectDraw::Create()
{
    auto* directDraw = new DirectDraw();
    directDraw->AddRef(kDirectDraw);
    return directDraw;
}

IDirectDraw* DirectDraw::AsDirectDraw() { return directDraw_.get(); }
IDirectDraw4* DirectDraw::AsDirectDraw4() { return directDraw4_.get(); }
IDirect3D3* DirectDraw::AsDirect3D3() { return direct3D3_.get(); }

HRESULT DirectDraw::QueryInterface(REFIID riid, void** object)
{
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDirectDraw) {
        AddRef(kDirectDraw);
        *object = AsDirectDraw();
    } else if (riid == IID_IDirectDraw4) {
        AddRef(kDirectDraw4);
        *object = AsDirectDraw4();
    } else if (riid == IID_IDirect3D3) {
        AddRef(kDirect3D3);
        *object = AsDirect3D3();
    } else {
        return E_NOINTERFACE;
    }
    return S_OK;
}

ULONG DirectDraw::AddRef(Facet facet) { return ++refs_[Counter(facet)]; }

ULONG DirectDraw::Release(Facet facet)
{
    ULONG& refs = refs_[Counter(facet)];
    if (refs == 0) return 0;  // an over-release is the program's bug; keep the object sane
    ULONG count = --refs;
    if (refs_[kDirectDraw] == 0 && refs_[kDirectDraw4] == 0) Destroy();
    return count;
}

void DirectDraw::Destroy()
{
    // The display goes back to the desktop's when its owner goes away.
    Runtime& state = State();
    if (state.exclusiveOwner == this) state.exclusiveOwner = nullptr;
    if (level_) state.cooperativeLevel = 0;
    if (modeChanged_) ChangeMode(kDesktopMode);
    delete this;
}

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags)
{
    // Exclusive wins over normal when both are asked for; only the
    // exclusive level looks at its window.
    bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    bool normal = (flags & DDSCL_NORMAL) != 0;
    bool fullscreen = (flags & DDSCL_FULLSCREEN) != 0;
    if (!normal && !exclusive) return DDERR_INVALIDPARAMS;
    if (fullscreen != exclusive) return DDERR_INVALIDPARAMS;
    if (exclusive && (!window || !IsWindow(window))) return DDERR_INVALIDPARAMS;

    Runtime& state = State();
    if (exclusive && state.exclusiveOwner && state.exclusiveOwner != this)
        return DDERR_EXCLUSIVEMODEALREADYSET;
    if (exclusive) {
        state.exclusiveOwner = this;
    } else if (state.exclusiveOwner == this) {
        state.exclusiveOwner = nullptr;
    }
    level_ = flags;
    state.cooperativeLevel = flags;
    return DD_OK;
}

namespace {

bool SupportedMode(DWORD width, DWORD height, DWORD bitsPerPixel)
{
    const runtime::DisplayMode sizes[] = {{640, 480, 0}, {800, 600, 0}, {1024, 768, 0}};
    if (bitsPerPixel != 16 && bitsPerPixel != 32) return false;
    for (const runtime::DisplayMode& size : sizes) {
        if (size.width == width && size.height == height) return true;
    }
    return false;
}

}  // namespace

// Any program may change the mode, as long as no other one holds the
// exclusive level.
HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel)
{
    Runtime& state = State();
    if (state.exclusiveOwner && state.exclusiveOwner != this) return DDERR_NOEXCLUSIVEMODE;
    if (!SupportedMode(width, height, bitsPerPixel)) return DDERR_INVALIDMODE;
    ChangeMode({width, height, bitsPerPixel});
    modeChanged_ = true;
    return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode()
{
    Runtime& state = State();
    if (state.exclusiveOwner && state.exclusiveOwner != this) return DDERR_NOEXCLUSIVEMODE;
    if (modeChanged_) ChangeMode(kDesktopMode);
    modeChanged_ = false;
    return DD_OK;
}

// A real change of mode takes the video memory away from every surface.
void DirectDraw::ChangeMode(const runtime::DisplayMode& mode)
{
    Runtime& state = State();
    bool same = state.mode.width == mode.width && state.mode.height == mode.height &&
                state.mode.bitsPerPixel == mode.bitsPerPixel;
    state.mode = mode;
    if (same) return;
    for (Object* object : state.objects) {
        auto* surface = dynamic_cast<Surface*>(object);
        if (surface && surface->InVideoMemory()) surface->Lose();
    }
}

bool KnownDevice(REFCLSID deviceGuid)
{
    return deviceGuid == IID_IDirect3DHALDevice || deviceGuid == IID_IDirect3DRGBDevice;
}

}  // namespace standin::dx6

HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, IDirectDraw** directDraw, IUnknown* outer)
{
    using namespace standin::dx6;
    return Dispatch("DirectDrawCreate", nullptr, [&]() -> HRESULT {
        if (!directDraw) return DDERR_INVALIDPARAMS;
        if (outer) return CLASS_E_NOAGGREGATION;
        // Only the primary display driver is known.
        if (driverGuid) return DDERR_INVALIDPARAMS;
        *directDraw = DirectDraw::Create()->AsDirectDraw();
        return DD_OK;
    });
}
