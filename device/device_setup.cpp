#include <cstring>

#include "app/dx6app.h"
#include "device/viewport.h"

namespace {

const DWORD kMainStyle = WS_POPUP | WS_VISIBLE | WS_SYSMENU;

// Descriptors carry their own size, which on 64-bit Windows (and Wine)
// includes the padding around the surface pointer; anything else is refused.
DDSURFACEDESC2 EmptySurfaceDesc()
{
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    return desc;
}

DDSURFACEDESC2 PrimaryDesc(bool fullscreen)
{
    DDSURFACEDESC2 desc = EmptySurfaceDesc();
    if (fullscreen) {
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps =
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
        desc.dwBackBufferCount = 1;
    } else {
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    }
    return desc;
}

DDSURFACEDESC2 WindowBackBufferDesc(DWORD width, DWORD height)
{
    DDSURFACEDESC2 desc = EmptySurfaceDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwHeight = height;
    desc.dwWidth = width;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
    return desc;
}

// The pixel format starts as the request (only the stencil depth set) and
// the enumeration's callback leaves its choice there.
DDSURFACEDESC2 ZBufferDesc(DWORD width, DWORD height, DWORD stencilDepth)
{
    DDSURFACEDESC2 desc = EmptySurfaceDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwHeight = height;
    desc.dwWidth = width;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY;
    desc.ddpfPixelFormat.dwStencilBitDepth = stencilDepth;
    return desc;
}


}  // namespace

D3DVIEWPORT2 WholeTargetViewport(DWORD width, DWORD height)
{
    D3DVIEWPORT2 vp;
    std::memset(&vp, 0, sizeof(vp));
    vp.dwSize = sizeof(vp);
    vp.dwX = 0;
    vp.dwY = 0;
    vp.dwWidth = width;
    vp.dwHeight = height;
    vp.dvClipX = -1.0f;
    vp.dvClipY = 1.0f;
    vp.dvClipWidth = 2.0f;
    vp.dvClipHeight = 2.0f;
    vp.dvMinZ = 0.0f;
    vp.dvMaxZ = 1.0f;
    return vp;
}

// The first format, in the driver's order, that is a Z-buffer of at least
// 16 bits with exactly the stencil the request asks for (none when it asks
// for none, at least as many bits otherwise).
HRESULT CALLBACK ZBufferFormatCallback(DDPIXELFORMAT* candidate, void* context)
{
    DDPIXELFORMAT* request = static_cast<DDPIXELFORMAT*>(context);
    if (!(candidate->dwFlags & DDPF_ZBUFFER)) return DDENUMRET_OK;
    if (candidate->dwZBufferBitDepth < 16) return DDENUMRET_OK;
    const DWORD wantedStencil = request->dwStencilBitDepth;
    const bool hasStencil = (candidate->dwFlags & DDPF_STENCILBUFFER) != 0;
    if (wantedStencil == 0) {
        if (hasStencil) return DDENUMRET_OK;
    } else {
        if (!hasStencil || candidate->dwStencilBitDepth < wantedStencil) return DDENUMRET_OK;
    }
    std::memcpy(request, candidate, sizeof(DDPIXELFORMAT));
    return DDENUMRET_CANCEL;
}

HRESULT CDX6App::InitDevice()
{
    Log("> Device initializing...");
    deviceReady = false;

    HRESULT hr = DirectDrawCreate(nullptr, &directDraw, nullptr);
    if (FAILED(hr)) return FailInit("ERROR: can't create Direct Draw object", hr);

    hr = directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw4));
    if (FAILED(hr)) return FailInit("ERROR: can't query IDirectDraw4 interface", hr);

    hr = fullscreen ? SetUpFullscreenWindow() : SetUpWindow();
    if (FAILED(hr)) return hr;

    DDSURFACEDESC2 primaryDesc = PrimaryDesc(fullscreen);
    hr = directDraw4->CreateSurface(&primaryDesc, &primarySurface, nullptr);
    if (FAILED(hr)) return FailInit("ERROR: while primary device creating", hr);

    hr = CreateBackBuffer();
    if (FAILED(hr)) return hr;

    hr = directDraw4->QueryInterface(IID_IDirect3D3, reinterpret_cast<void**>(&direct3D));
    if (FAILED(hr)) return FailInit("ERROR: can't query IDirect3D2 interface", hr);

    hr = CreateZBuffer();
    if (FAILED(hr)) return hr;

    hr = direct3D->CreateDevice(IID_IDirect3DHALDevice, backBuffer, &device, nullptr);
    if (FAILED(hr)) return FailInit("ERROR: while creating Direct3D device", hr);

    hr = CreateMainViewport();
    if (FAILED(hr)) return hr;

    deviceReady = true;
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    mouseX = cursor.x - windowRect.left;
    mouseY = cursor.y - windowRect.top;
    Log("> Device initializing... done");

    hr = InitDeviceObjectsGuarded();
    timerStarted = false;
    return hr;
}

HRESULT CDX6App::FailInit(const char* line, HRESULT hr)
{
    Log(line);
    errorRaised = true;
    return hr;
}

// Exclusive full screen: the cooperative level and the display mode are set
// on the first DirectDraw interface.
HRESULT CDX6App::SetUpFullscreenWindow()
{
    hWnd = CreateWindowExA(WS_EX_TOPMOST, "DX6APP", "DirectX6 Application", kMainStyle, 0, 0,
                           static_cast<int>(width), static_cast<int>(height), nullptr, nullptr, hInstance,
                           this);
    HRESULT hr = directDraw->SetCooperativeLevel(hWnd, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    if (FAILED(hr)) return FailInit("ERROR: can't set cooperative level", hr);
    hr = directDraw->SetDisplayMode(width, height, bitsPerPixel);
    if (FAILED(hr)) return FailInit("ERROR: can't set display mode", hr);
    return S_OK;
}

// In a window the back buffer takes the client size the window really got.
HRESULT CDX6App::SetUpWindow()
{
    hWnd = CreateWindowExA(0, "DX6APP", "DirectX6 Application", kMainStyle, 20, 20, static_cast<int>(width),
                           static_cast<int>(height), nullptr, nullptr, hInstance, this);
    RECT client = {0, 0, 0, 0};
    GetClientRect(hWnd, &client);
    width = static_cast<DWORD>(client.right);
    height = static_cast<DWORD>(client.bottom);
    HRESULT hr = directDraw->SetCooperativeLevel(hWnd, DDSCL_NORMAL);
    if (FAILED(hr)) return FailInit("ERROR: can't set cooperative level", hr);
    return S_OK;
}

HRESULT CDX6App::CreateBackBuffer()
{
    if (fullscreen) {
        DDSCAPS2 caps;
        std::memset(&caps, 0, sizeof(caps));
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        HRESULT hr = primarySurface->GetAttachedSurface(&caps, &backBuffer);
        if (FAILED(hr)) return FailInit("ERROR: can't get attached surface", hr);
        return S_OK;
    }
    DDSURFACEDESC2 desc = WindowBackBufferDesc(width, height);
    HRESULT hr = directDraw4->CreateSurface(&desc, &backBuffer, nullptr);
    if (FAILED(hr)) return FailInit("ERROR: while Back-Buffer creating", hr);
    return S_OK;
}

HRESULT CDX6App::CreateZBuffer()
{
    DDSURFACEDESC2 desc = ZBufferDesc(width, height, stencilDepth);
    // The enumeration's own result tells nothing: only a chosen format counts.
    direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, ZBufferFormatCallback, &desc.ddpfPixelFormat);
    if (desc.ddpfPixelFormat.dwSize == 0)
        return FailInit("ERROR: can't enumerate Z-Buffer formats", DDERR_EXCEPTION);

    HRESULT hr = directDraw4->CreateSurface(&desc, &zBuffer, nullptr);
    if (FAILED(hr)) return FailInit("ERROR: while creating Z-Buffer surface", hr);
    hr = backBuffer->AddAttachedSurface(zBuffer);
    if (FAILED(hr)) return FailInit("ERROR: can't add attached surface (Z-Buffer)", hr);
    return S_OK;
}

HRESULT CDX6App::CreateMainViewport()
{
    D3DVIEWPORT2 data = WholeTargetViewport(width, height);
    HRESULT hr = direct3D->CreateViewport(&viewport, nullptr);
    if (FAILED(hr)) return FailInit("ERROR: while creating viewport", hr);
    hr = device->AddViewport(viewport);
    if (FAILED(hr)) return FailInit("ERROR: can't add viewport", hr);
    hr = viewport->SetViewport2(&data);
    if (FAILED(hr)) return FailInit("ERROR: can't set viewport (Viewport)", hr);
    hr = device->SetCurrentViewport(viewport);
    if (FAILED(hr)) return FailInit("ERROR: can't set current viewport (D3D device)", hr);
    return S_OK;
}

// A failing hook does not raise the error flag here: Run does that.
HRESULT CDX6App::InitDeviceObjectsGuarded()
{
    try {
        return InitDeviceObjects();
    } catch (...) {
        Log("EXCEPTION WHILE DEVICE OBJECTS INIT");
        return E_OUTOFMEMORY;
    }
}
