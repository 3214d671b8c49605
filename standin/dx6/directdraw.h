// The DirectDraw object: IDirectDraw, IDirectDraw4 and IDirect3D3 are
// interfaces of one object. IDirectDraw and IDirectDraw4 keep counts of
// their own; IDirect3D3 counts on IDirectDraw's, as it does on Windows and
// Wine. The object dies when both counts are zero. It owns the cooperative level, the
// display mode it set and the knowledge of its primary surface.
#pragma once

#include <memory>

#include "standin/control/runtime.h"
#include "standin/dx6/object.h"

namespace standin::dx6 {

class Surface;

class DirectDraw final : public Object {
public:
    static DirectDraw* Create();  // with one reference on IDirectDraw

    IDirectDraw* AsDirectDraw();
    IDirectDraw4* AsDirectDraw4();
    IDirect3D3* AsDirect3D3();

    enum Facet { kDirectDraw, kDirectDraw4, kDirect3D3, kFacetCount };
    HRESULT QueryInterface(REFIID riid, void** object);
    ULONG AddRef(Facet facet);
    ULONG Release(Facet facet);
    ULONG Count(Facet facet) const { return refs_[Counter(facet)]; }

    // IDirectDraw
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel);
    HRESULT RestoreDisplayMode();
    // IDirectDraw4
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface4** surface, IUnknown* outer);
    // IDirect3D3
    HRESULT CreateViewport(IDirect3DViewport3** viewport, IUnknown* outer);
    HRESULT EnumZBufferFormats(REFCLSID deviceGuid, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context);
    HRESULT CreateDevice(REFCLSID deviceGuid, IDirectDrawSurface4* target, IDirect3DDevice3** device,
                         IUnknown* outer);

    // for the surfaces it made
    DWORD CooperativeLevel() const { return level_; }
    Surface* Primary() const { return primary_; }
    void SetPrimary(Surface* primary) { primary_ = primary; }

    ~DirectDraw() override;

private:
    DirectDraw();
    void Destroy();
    void ChangeMode(const runtime::DisplayMode& mode);
    static Facet Counter(Facet facet) { return facet == kDirect3D3 ? kDirectDraw : facet; }

    struct DirectDrawInterface;
    struct DirectDraw4Interface;
    struct Direct3D3Interface;

    std::unique_ptr<DirectDrawInterface> directDraw_;
    std::unique_ptr<DirectDraw4Interface> directDraw4_;
    std::unique_ptr<Direct3D3Interface> direct3D3_;
    ULONG refs_[kDirect3D3] = {0, 0};  // IDirectDraw's and IDirectDraw4's
    DWORD level_ = 0;
    bool modeChanged_ = false;
    Surface* primary_ = nullptr;
};

// Direct3D devices this runtime knows.
bool KnownDevice(REFCLSID deviceGuid);

}  // namespace standin::dx6
