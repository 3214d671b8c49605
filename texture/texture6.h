// One image that the executable carries as a resource, decoded by the image
// library into a DirectDraw surface in a pixel format the device offers.
#pragma once

#include "device/dx6.h"

class CDX6App;

// Creation flags.
const DWORD TEXTURE_SYSTEMMEMORY = 0x1;
const DWORD TEXTURE_OFFSCREEN = 0x2;
const DWORD TEXTURE_MIPMAP = 0x4;
const DWORD TEXTURE_RENDERTARGET = 0x8;

// The context of the texture-format search: the first 32-bit RGB format
// with (or, for off-screen surfaces, without) an alpha channel wins.
struct TextureFormatSearch {
    DDPIXELFORMAT* pixelFormat;
    DWORD bitCount;
    BYTE wantAlpha;
    BYTE found;
};

HRESULT CALLBACK TextureFormatCallback(DDPIXELFORMAT* format, void* search);

class CTexture6 {
public:
    CTexture6();
    ~CTexture6();

    HRESULT LoadFromResource(IDirectDraw4* directDraw4, IDirect3DDevice3* device, DWORD resourceId,
                             const char* resourceType, DWORD creationFlags, CDX6App* log);
    HRESULT CreateSurface(IDirectDraw4* directDraw4, IDirect3DDevice3* device);
    HRESULT FillSurface(IDirectDrawSurface4* target);
    HRESULT Restore(IDirect3DDevice3* device);
    HRESULT CreateZBuffer(IDirectDraw4* directDraw4, IDirectDrawSurface4* zTemplate);
    HRESULT Unload();
    bool LoadSourceImage(unsigned int* imageName);

    IDirectDrawSurface4* GetSurface() const { return surface; }
    IDirect3DTexture2* GetD3DTexture() const { return d3dTexture; }
    DWORD GetWidth() const { return width; }
    DWORD GetHeight() const { return height; }

    IDirectDrawSurface4* surface;
    IDirect3DTexture2* d3dTexture;
    IDirectDrawSurface4* zSurface;
    HRSRC resource;
    DWORD width;
    DWORD height;
    DWORD mipLevels;
    DWORD flags;
    CDX6App* logSink;

private:
    CTexture6(const CTexture6&) = delete;
    CTexture6& operator=(const CTexture6&) = delete;

    HRESULT FillFromImage(unsigned int imageName, IDirectDraw4* directDraw4, IDirect3DDevice3* device);
    HRESULT CreateTextureSurface(IDirectDraw4* directDraw4, IDirect3DDevice3* device);
    HRESULT SelectPixelFormat(IDirect3DDevice3* device, DDPIXELFORMAT* pixelFormat);
    void DescribeSurface(DDSURFACEDESC2* desc) const;
    HRESULT FillMipLevels(unsigned int imageName);
    void ActivateMipLevel(unsigned int imageName, DWORD level);
    HRESULT QueryTextureInterface();
    void Log(const char* text);
};
