// A DirectDraw surface: real pixel memory with a padded pitch, a pixel
// format, the lock and loss state, and its place among other surfaces.
//
// Surfaces made together by one CreateSurface (a flipping chain, a mip
// chain) form a complex structure owned by its root: each back buffer or
// mip level starts with the one reference its parent holds, and the root's
// death takes them all. A surface attached with AddAttachedSurface is held
// by a reference of its parent's, given back when the parent dies.
//
// IDirectDrawSurface4 and, for textures, IDirect3DTexture2 are interfaces
// of the surface; the texture interface counts on the surface's count, as
// on Wine. A device that has the surface as a stage texture keeps it alive
// without a COM reference (the count does not show it), as Wine's does.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "standin/dx6/api.h"
#include "standin/dx6/object.h"

namespace standin::dx6 {

class DirectDraw;

struct SurfaceShape {
    DWORD width = 0, height = 0;
    DWORD caps = 0, caps2 = 0;
    DDPIXELFORMAT format{};
};

class Surface final : public Object {
public:
    // A surface with no references yet, holding one on its DirectDraw's IDirectDraw4.
    Surface(DirectDraw& owner, const SurfaceShape& shape);
    ~Surface() override;

    static Surface* From(IDirectDrawSurface4* surface);
    static Surface* From(IDirect3DTexture2* texture);
    IDirectDrawSurface4* AsSurface4();
    IDirect3DTexture2* AsTexture2();

    // COM
    HRESULT QueryInterface(REFIID riid, void** object);
    ULONG AddRefSurface();
    ULONG ReleaseSurface();
    ULONG SurfaceCount() const { return surfaceRefs_; }
    // A device's hold on its stage texture.
    void Hold() { ++holds_; }
    void LetGo();

    // IDirectDrawSurface4
    HRESULT AddAttachedSurface(IDirectDrawSurface4* attachment);
    HRESULT Blt(RECT* dstRect, IDirectDrawSurface4* source, RECT* srcRect, DWORD flags, DDBLTFX* fx);
    HRESULT Flip(IDirectDrawSurface4* overrideSurface, DWORD flags);
    HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** attachment);
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc);
    HRESULT IsLost();
    HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event);
    HRESULT Restore();
    HRESULT Unlock(RECT* rect);

    // the structure, for CreateSurface
    void AddComplexChild(Surface* child);
    void SetBackBufferCount(DWORD count) { backBufferCount_ = count; }
    void SetMipMapCount(DWORD count) { mipMapCount_ = count; }

    // for the device and the test control
    const SurfaceShape& Shape() const { return shape_; }
    DWORD BytesPerPixel() const { return bytesPerPixel_; }
    LONG Pitch() const { return pitch_; }
    uint8_t* Bits() { return memory_.data(); }
    uint8_t* PixelAt(DWORD x, DWORD y) { return memory_.data() + y * pitch_ + x * bytesPerPixel_; }
    bool Lost() const { return lost_; }
    bool Locked() const { return locked_; }
    void Lose() { lost_ = true; }
    bool InVideoMemory() const { return (shape_.caps & DDSCAPS_VIDEOMEMORY) != 0; }
    Surface* FindAttached(DWORD caps);  // no reference added
    Surface* AttachedZBuffer() { return FindAttached(DDSCAPS_ZBUFFER); }
    int AttachmentCount() const;

private:
    struct SurfaceInterface;
    struct TextureInterface;

    void DestroyIfUnused();
    void Destroy();  // gives back everything held, then deletes
    Surface* Root();
    void FillDesc(DDSURFACEDESC2& desc) const;
    void FillGarbage();
    std::vector<Surface*> FlipChain();
    void RecordPrimaryBlit(const RECT& dst, const RECT& src, const void* source);

    DirectDraw& owner_;
    SurfaceShape shape_;
    DWORD bytesPerPixel_ = 0;
    LONG pitch_ = 0;
    std::vector<uint8_t> memory_;
    std::unique_ptr<SurfaceInterface> surface4_;
    std::unique_ptr<TextureInterface> texture2_;
    ULONG surfaceRefs_ = 0;
    int holds_ = 0;
    bool locked_ = false;
    bool lost_ = false;
    DWORD backBufferCount_ = 0;
    DWORD mipMapCount_ = 0;

    Surface* complexParent_ = nullptr;       // null for a root
    std::vector<Surface*> complexChildren_;  // owned: next back buffer, next mip level
    Surface* attachedTo_ = nullptr;
    std::vector<Surface*> attachments_;  // each holds one IDirectDrawSurface4 reference
};

// Bytes of each row: the row padded to a multiple of 64 bytes, and 32 more,
// so that code which assumes width times bytes per pixel reads the wrong row.
LONG PaddedPitch(DWORD width, DWORD bytesPerPixel);

}  // namespace standin::dx6
