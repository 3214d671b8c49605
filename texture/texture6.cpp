#include "texture/texture6.h"

#include <cstring>
#include <type_traits>

#include "app/dx6app.h"
#include "device/release.h"
#include "texture/devil.h"

static_assert(std::is_same<ILuint, unsigned int>::value, "image names are ILuint");

namespace {

// Every descriptor carries the structure's own size: 136 bytes on x86_64,
// where DirectDraw rejects any other value.
DDSURFACEDESC2 EmptyDescriptor()
{
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return desc;
}

const DWORD kTextureBitCount = 32;
const DWORD kMaxMipLevels = 4;

}  // namespace

HRESULT CALLBACK TextureFormatCallback(DDPIXELFORMAT* format, void* context)
{
    TextureFormatSearch* search = static_cast<TextureFormatSearch*>(context);
    if (format->dwRGBBitCount != search->bitCount) return D3DENUMRET_OK;
    if (!(format->dwFlags & DDPF_RGB)) return D3DENUMRET_OK;
    const bool hasAlpha = (format->dwFlags & DDPF_ALPHAPIXELS) != 0;
    if (hasAlpha != (search->wantAlpha != 0)) return D3DENUMRET_OK;
    search->found = 1;
    std::memcpy(search->pixelFormat, format, sizeof(DDPIXELFORMAT));
    return D3DENUMRET_CANCEL;
}

CTexture6::CTexture6()
    : surface(nullptr),
      d3dTexture(nullptr),
      zSurface(nullptr),
      resource(nullptr),
      width(0),
      height(0),
      mipLevels(0),
      flags(0),
      logSink(nullptr)
{
}

CTexture6::~CTexture6() { Unload(); }

HRESULT CTexture6::LoadFromResource(IDirectDraw4* directDraw4, IDirect3DDevice3* device, DWORD resourceId,
                                    const char* resourceType, DWORD creationFlags, CDX6App* log)
{
    Unload();
    logSink = log;
    flags = creationFlags;
    // A resource that is not there shows up as an image that does not decode.
    resource = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId), resourceType);
    HRESULT result = CreateSurface(directDraw4, device);
    if (FAILED(result)) {
        Log("ERROR: while creating surface (CTexture6::LoadFromResource)");
        return result;
    }
    return S_OK;
}

bool CTexture6::LoadSourceImage(unsigned int* imageName)
{
    ILuint name = 0;
    ilGenImages(1, &name);
    ilBindImage(name);
    const void* data = LockResource(LoadResource(nullptr, resource));
    const DWORD size = SizeofResource(nullptr, resource);
    if (!ilLoadL(IL_TYPE_UNKNOWN, data, size)) {
        ilDeleteImages(1, &name);
        return false;
    }
    *imageName = name;
    return true;
}

// The image is decoded anew on every call and deleted before it returns,
// whichever way it returns: nothing decoded outlives one fill.
HRESULT CTexture6::CreateSurface(IDirectDraw4* directDraw4, IDirect3DDevice3* device)
{
    ILuint image = 0;
    if (!LoadSourceImage(&image)) {
        Log("ERROR: Can't load texture file (DevIL error)");
        return D3DERR_INITFAILED;
    }
    HRESULT result = FillFromImage(image, directDraw4, device);
    ilDeleteImages(1, &image);
    return result;
}

HRESULT CTexture6::FillFromImage(ILuint image, IDirectDraw4* directDraw4, IDirect3DDevice3* device)
{
    width = ilGetInteger(IL_IMAGE_WIDTH);
    height = ilGetInteger(IL_IMAGE_HEIGHT);
    mipLevels = kMaxMipLevels;

    HRESULT result;
    if (directDraw4) {
        result = CreateTextureSurface(directDraw4, device);
        if (FAILED(result)) return result;
    }
    result = FillSurface(surface);
    if (FAILED(result)) {
        Log("ERROR: while surface filling (CTexture6::CreateSurface)");
        return result;
    }
    if ((flags & TEXTURE_MIPMAP) && !(flags & TEXTURE_OFFSCREEN)) {
        result = FillMipLevels(image);
        if (FAILED(result)) return result;
    }
    // A refill keeps the Direct3D interface it has.
    if (directDraw4) return QueryTextureInterface();
    return S_OK;
}

HRESULT CTexture6::CreateTextureSurface(IDirectDraw4* directDraw4, IDirect3DDevice3* device)
{
    DDSURFACEDESC2 desc = EmptyDescriptor();
    HRESULT result = SelectPixelFormat(device, &desc.ddpfPixelFormat);
    if (FAILED(result)) return result;
    DescribeSurface(&desc);
    result = directDraw4->CreateSurface(&desc, &surface, nullptr);
    if (FAILED(result)) {
        Log("ERROR: can't create surface (CTexture6::CreateSurface)");
        return result;
    }
    return S_OK;
}

HRESULT CTexture6::SelectPixelFormat(IDirect3DDevice3* device, DDPIXELFORMAT* pixelFormat)
{
    TextureFormatSearch search;
    search.pixelFormat = pixelFormat;
    search.bitCount = kTextureBitCount;
    // Off-screen surfaces are blitted, not blended: they take a format without alpha.
    search.wantAlpha = !(flags & TEXTURE_OFFSCREEN);
    search.found = 0;
    HRESULT result = device->EnumTextureFormats(TextureFormatCallback, &search);
    if (FAILED(result)) {
        Log("ERROR: while texture formats enumerating (CTexture6::CreateSurface)");
        return result;
    }
    if (!search.found) {
        Log("ERROR: can't select texture format");
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void CTexture6::DescribeSurface(DDSURFACEDESC2* desc) const
{
    desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc->dwWidth = width;
    desc->dwHeight = height;
    if (flags & TEXTURE_OFFSCREEN) {
        desc->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN |
                               ((flags & TEXTURE_SYSTEMMEMORY) ? DDSCAPS_SYSTEMMEMORY : DDSCAPS_VIDEOMEMORY);
        return;
    }
    if (flags & TEXTURE_RENDERTARGET) {
        desc->ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
    } else if (flags & TEXTURE_SYSTEMMEMORY) {
        desc->ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    } else {
        desc->ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        desc->ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    }
    if (flags & TEXTURE_MIPMAP) {
        // The mip count alone makes a single surface; MIPMAP and COMPLEX
        // make DirectDraw build the chain of levels behind it.
        desc->dwFlags |= DDSD_MIPMAPCOUNT;
        desc->dwMipMapCount = mipLevels;
        desc->ddsCaps.dwCaps |= DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
    }
}

// Levels 1 and on, each one reached from the one before and filled from the
// image's own level of the same number. A level is released once the next
// one was fetched from it.
HRESULT CTexture6::FillMipLevels(ILuint image)
{
    DWORD levelWidth = width;
    DWORD levelHeight = height;
    IDirectDrawSurface4* current = surface;
    IDirectDrawSurface4* fetched = nullptr;
    HRESULT result = S_OK;
    for (DWORD level = 1;;) {
        levelWidth /= 2;
        levelHeight /= 2;
        ActivateMipLevel(image, level);
        IDirectDrawSurface4* next = nullptr;
        DDSCAPS2 caps = {};
        caps.dwCaps = DDSCAPS_MIPMAP;
        result = current->GetAttachedSurface(&caps, &next);
        if (FAILED(result)) {
            Log("ERROR: can't get attached surface");
            break;
        }
        ReleaseInterface(fetched);
        fetched = next;
        current = next;
        result = FillSurface(current);
        if (FAILED(result)) {
            Log("ERROR: while surface filling (CTexture6::CreateSurface)");
            break;
        }
        ++level;
        if (level >= mipLevels || levelWidth <= 1 || levelHeight <= 1) break;
    }
    ReleaseInterface(fetched);
    return result;
}

// ilActiveMipmap counts from the current image, so the base image is bound
// first. Images that carry no levels of their own get them built once.
void CTexture6::ActivateMipLevel(ILuint image, DWORD level)
{
    ilBindImage(image);
    if (ilActiveMipmap(level)) return;
    iluBuildMipmaps();
    if (ilActiveMipmap(level)) return;
    Log("WARNING: (DevIL) can't generate mipmaps");
}

HRESULT CTexture6::QueryTextureInterface()
{
    if (flags & TEXTURE_OFFSCREEN) {
        d3dTexture = nullptr;
        return S_OK;
    }
    HRESULT result = surface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&d3dTexture));
    if (FAILED(result)) {
        Log("ERROR: can't query IDirect3DTexture2 interface (CTexture6::CreateSurface)");
        return result;
    }
    return S_OK;
}

HRESULT CTexture6::FillSurface(IDirectDrawSurface4* target)
{
    DDSURFACEDESC2 desc = EmptyDescriptor();
    target->GetSurfaceDesc(&desc);
    // Any 32-bit layout is accepted; only red in the lowest byte needs RGBA.
    const ILenum order = desc.ddpfPixelFormat.dwRBitMask == 0x000000FF ? IL_RGBA : IL_BGRA;

    DDSURFACEDESC2 locked = EmptyDescriptor();
    HRESULT result = target->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    if (FAILED(result)) {
        Log("ERROR: can't lock surface (CTexture6::FillSurface)");
        return result;
    }
    // Rows go in as the library stores them: a bottom-up image lands upside down.
    BYTE* row = static_cast<BYTE*>(locked.lpSurface);
    for (DWORD y = 0; y < desc.dwHeight; ++y, row += locked.lPitch) {
        ilCopyPixels(0, y, 0, desc.dwWidth, 1, 1, order, IL_UNSIGNED_BYTE, row);
    }
    result = target->Unlock(nullptr);
    if (FAILED(result)) {
        Log("ERROR: can't unlock surface (CTexture6::FillSurface)");
        return result;
    }
    return S_OK;
}

HRESULT CTexture6::Restore(IDirect3DDevice3* device)
{
    if (surface->IsLost() != DD_OK) {
        HRESULT result = surface->Restore();
        if (FAILED(result)) {
            Log("ERROR: unable to restore surface (CTexture6::Restore)");
            return result;
        }
    }
    // Refilled whether or not it was lost: the memory may have been kept
    // while its content was not.
    HRESULT result = CreateSurface(nullptr, device);
    if (FAILED(result)) {
        Log("ERROR: while refilling surface (CTexture6::Restore)");
        return result;
    }
    return S_OK;
}

HRESULT CTexture6::CreateZBuffer(IDirectDraw4* directDraw4, IDirectDrawSurface4* zTemplate)
{
    DDSURFACEDESC2 model = EmptyDescriptor();
    zTemplate->GetSurfaceDesc(&model);

    DDSURFACEDESC2 desc = EmptyDescriptor();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwHeight = height;
    desc.dwWidth = width;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY;
    desc.ddpfPixelFormat = model.ddpfPixelFormat;
    HRESULT result = directDraw4->CreateSurface(&desc, &zSurface, nullptr);
    if (FAILED(result)) {
        Log("ERROR: while creating Z-Buffer surface");
        return result;
    }
    result = surface->AddAttachedSurface(zSurface);
    if (FAILED(result)) {
        Log("ERROR: can't add attached surface (Z-Buffer)");
        return result;
    }
    return S_OK;
}

HRESULT CTexture6::Unload()
{
    ReleaseInterface(zSurface);
    ReleaseInterface(surface);
    ReleaseInterface(d3dTexture);
    return S_OK;
}

void CTexture6::Log(const char* text)
{
    if (logSink) logSink->Log(text);
}
