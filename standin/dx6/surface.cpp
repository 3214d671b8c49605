#include "standin/dx6/surface.h"

#include <algorithm>
#include <cstring>

#include "standin/dx6/call.h"
#include "standin/dx6/directdraw.h"
#include "standin/dx6/formats.h"

namespace standin::dx6 {

struct Surface::SurfaceInterface final : IDirectDrawSurface4 {
    explicit SurfaceInterface(Surface& owner) : self(owner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return Dispatch("IDirectDrawSurface4::QueryInterface", this,
                        [&] { return self.QueryInterface(riid, object); });
    }
    ULONG AddRef() override
    {
        return DispatchCount(
            "IDirectDrawSurface4::AddRef", this, [&] { return self.AddRefSurface(); },
            [&] { return self.SurfaceCount(); });
    }
    ULONG Release() override
    {
        return DispatchCount(
            "IDirectDrawSurface4::Release", this, [&] { return self.ReleaseSurface(); },
            [&] { return self.SurfaceCount(); });
    }
    HRESULT AddAttachedSurface(IDirectDrawSurface4* attachment) override
    {
        return Dispatch("IDirectDrawSurface4::AddAttachedSurface", this,
                        [&] { return self.AddAttachedSurface(attachment); });
    }
    HRESULT Blt(RECT* dstRect, IDirectDrawSurface4* src, RECT* srcRect, DWORD flags, DDBLTFX* fx) override
    {
        return Dispatch("IDirectDrawSurface4::Blt", this,
                        [&] { return self.Blt(dstRect, src, srcRect, flags, fx); });
    }
    HRESULT Flip(IDirectDrawSurface4* overrideSurface, DWORD flags) override
    {
        return Dispatch("IDirectDrawSurface4::Flip", this, [&] { return self.Flip(overrideSurface, flags); });
    }
    HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** attachment) override
    {
        return Dispatch("IDirectDrawSurface4::GetAttachedSurface", this,
                        [&] { return self.GetAttachedSurface(caps, attachment); });
    }
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) override
    {
        return Dispatch("IDirectDrawSurface4::GetSurfaceDesc", this,
                        [&] { return self.GetSurfaceDesc(desc); });
    }
    HRESULT IsLost() override
    {
        return Dispatch("IDirectDrawSurface4::IsLost", this, [&] { return self.IsLost(); });
    }
    HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) override
    {
        return Dispatch("IDirectDrawSurface4::Lock", this,
                        [&] { return self.Lock(rect, desc, flags, event); });
    }
    HRESULT Restore() override
    {
        return Dispatch("IDirectDrawSurface4::Restore", this, [&] { return self.Restore(); });
    }
    HRESULT Unlock(RECT* rect) override
    {
        return Dispatch("IDirectDrawSurface4::Unlock", this, [&] { return self.Unlock(rect); });
    }

    Surface& self;
};

struct Surface::TextureInterface final : IDirect3DTexture2 {
    explicit TextureInterface(Surface& owner) : self(owner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return Dispatch("IDirect3DTexture2::QueryInterface", this,
                        [&] { return self.QueryInterface(riid, object); });
    }
    ULONG AddRef() override
    {
        return DispatchCount(
            "IDirect3DTexture2::AddRef", this, [&] { return self.AddRefSurface(); },
            [&] { return self.SurfaceCount(); });
    }
    ULONG Release() override
    {
        return DispatchCount(
            "IDirect3DTexture2::Release", this, [&] { return self.ReleaseSurface(); },
            [&] { return self.SurfaceCount(); });
    }

    Surface& self;
};

LONG PaddedPitch(DWORD width, DWORD bytesPerPixel)
{
    DWORD row = width * bytesPerPixel;
    return static_cast<LONG>((row + 63) / 64 * 64 + 32);
}

Surface::Surface(DirectDraw& owner, const SurfaceShape& shape)
    : owner_(owner),
      shape_(shape),
      bytesPerPixel_(BitsPerPixel(shape.format) / 8),
      pitch_(PaddedPitch(shape.width, bytesPerPixel_)),
      memory_(static_cast<size_t>(pitch_) * shape.height),
      surface4_(std::make_unique<SurfaceInterface>(*this)),
      texture2_(std::make_unique<TextureInterface>(*this))
{
    owner_.AddRef(DirectDraw::kDirectDraw4);
    FillGarbage();
}

Surface::~Surface() = default;

Surface* Surface::From(IDirectDrawSurface4* surface)
{
    return surface ? &static_cast<SurfaceInterface*>(surface)->self : nullptr;
}

Surface* Surface::From(IDirect3DTexture2* texture)
{
    return texture ? &static_cast<TextureInterface*>(texture)->self : nullptr;
}

IDirectDrawSurface4* Surface::AsSurface4() { return surface4_.get(); }
IDirect3DTexture2* Surface::AsTexture2() { return texture2_.get(); }

HRESULT Surface::QueryInterface(REFIID riid, void** object)
{
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDirectDrawSurface4) {
        AddRefSurface();
        *object = AsSurface4();
        return S_OK;
    }
    // Wine 8 hands the texture interface out for any surface, not only for
    // those made with DDSCAPS_TEXTURE.
    if (riid == IID_IDirect3DTexture2) {
        AddRefSurface();
        *object = AsTexture2();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG Surface::AddRefSurface() { return ++surfaceRefs_; }

ULONG Surface::ReleaseSurface()
{
    if (surfaceRefs_ == 0) return 0;
    ULONG count = --surfaceRefs_;
    DestroyIfUnused();
    return count;
}

void Surface::LetGo()
{
    if (holds_ > 0) --holds_;
    DestroyIfUnused();
}

void Surface::DestroyIfUnused()
{
    // A back buffer or mip level lives as long as the root of its structure.
    if (surfaceRefs_ || holds_ || complexParent_) return;
    Destroy();
}

void Surface::Destroy()
{
    std::vector<Surface*> attachments = std::move(attachments_);
    attachments_.clear();
    for (Surface* attachment : attachments) {
        attachment->attachedTo_ = nullptr;
        attachment->ReleaseSurface();
    }
    std::vector<Surface*> children = std::move(complexChildren_);
    complexChildren_.clear();
    for (Surface* child : children) {
        child->complexParent_ = nullptr;
        child->Destroy();
    }
    if (owner_.Primary() == this) owner_.SetPrimary(nullptr);
    DirectDraw& owner = owner_;
    delete this;
    owner.Release(DirectDraw::kDirectDraw4);
}

void Surface::AddComplexChild(Surface* child)
{
    child->complexParent_ = this;
    child->AddRefSurface();
    complexChildren_.push_back(child);
}

Surface* Surface::Root()
{
    Surface* root = this;
    while (root->complexParent_) root = root->complexParent_;
    return root;
}

Surface* Surface::FindAttached(DWORD caps)
{
    for (Surface* child : complexChildren_) {
        if ((child->shape_.caps & caps) == caps) return child;
    }
    for (Surface* attachment : attachments_) {
        if ((attachment->shape_.caps & caps) == caps) return attachment;
    }
    return nullptr;
}

int Surface::AttachmentCount() const
{
    return static_cast<int>(complexChildren_.size() + attachments_.size());
}

// Only Z-buffers can be attached through IDirectDrawSurface4, and a surface
// can hang on one parent only. The newest attachment is found first.
HRESULT Surface::AddAttachedSurface(IDirectDrawSurface4* attachment)
{
    Surface* other = From(attachment);
    if (!other) return DDERR_INVALIDPARAMS;
    if (other == this) return DDERR_CANNOTATTACHSURFACE;
    if (!(other->shape_.caps & DDSCAPS_ZBUFFER) || (shape_.caps & DDSCAPS_ZBUFFER))
        return DDERR_CANNOTATTACHSURFACE;
    if (other->attachedTo_ || other->complexParent_) return DDERR_SURFACEALREADYATTACHED;
    other->attachedTo_ = this;
    other->AddRefSurface();
    attachments_.insert(attachments_.begin(), other);
    return DD_OK;
}

HRESULT Surface::GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** attachment)
{
    if (!caps || !attachment) return DDERR_INVALIDPARAMS;
    *attachment = nullptr;
    auto matches = [caps](const Surface* s) {
        return (s->shape_.caps & caps->dwCaps) == caps->dwCaps &&
               (s->shape_.caps2 & caps->dwCaps2) == caps->dwCaps2;
    };
    Surface* found = nullptr;
    for (Surface* child : complexChildren_) {
        if (!found && matches(child)) found = child;
    }
    for (Surface* other : attachments_) {
        if (!found && matches(other)) found = other;
    }
    if (!found) return DDERR_NOTFOUND;
    found->AddRefSurface();
    *attachment = found->AsSurface4();
    return DD_OK;
}

void Surface::FillDesc(DDSURFACEDESC2& desc) const
{
    DWORD size = desc.dwSize;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = size;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_PITCH;
    desc.dwWidth = shape_.width;
    desc.dwHeight = shape_.height;
    desc.lPitch = pitch_;
    desc.ddpfPixelFormat = shape_.format;
    desc.ddsCaps.dwCaps = shape_.caps;
    desc.ddsCaps.dwCaps2 = shape_.caps2;
    if (backBufferCount_) {
        desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = backBufferCount_;
    }
    if (mipMapCount_) {
        desc.dwFlags |= DDSD_MIPMAPCOUNT;
        desc.dwMipMapCount = mipMapCount_;
    }
}

HRESULT Surface::GetSurfaceDesc(DDSURFACEDESC2* desc)
{
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    FillDesc(*desc);
    return DD_OK;
}

namespace {

bool InsideSurface(const RECT& rect, const SurfaceShape& shape)
{
    return rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right && rect.top <= rect.bottom &&
           static_cast<DWORD>(rect.right) <= shape.width && static_cast<DWORD>(rect.bottom) <= shape.height;
}

}  // namespace

HRESULT Surface::Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD /*flags*/, HANDLE /*event*/)
{
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    RECT area{0, 0, static_cast<LONG>(shape_.width), static_cast<LONG>(shape_.height)};
    if (rect) {
        if (!InsideSurface(*rect, shape_)) return DDERR_INVALIDPARAMS;
        area = *rect;
    }
    if (lost_) return DDERR_SURFACELOST;
    if (locked_) return DDERR_SURFACEBUSY;
    FillDesc(*desc);
    desc->lpSurface = PixelAt(static_cast<DWORD>(area.left), static_cast<DWORD>(area.top));
    locked_ = true;
    return DD_OK;
}

HRESULT Surface::Unlock(RECT* /*rect*/)
{
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    return DD_OK;
}

HRESULT Surface::IsLost() { return lost_ ? DDERR_SURFACELOST : DD_OK; }

// The memory comes back with undefined contents; the structure's other
// surfaces (back buffers, mip levels) come back with their root.
HRESULT Surface::Restore()
{
    if (lost_) {
        lost_ = false;
        FillGarbage();
    }
    for (Surface* child : complexChildren_) child->Restore();
    return DD_OK;
}

void Surface::FillGarbage()
{
    uint32_t noise = 0x9E3779B9u ^ static_cast<uint32_t>(memory_.size());
    for (uint8_t& byte : memory_) {
        noise = noise * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(noise >> 24);
    }
}

}  // namespace standin::dx6
