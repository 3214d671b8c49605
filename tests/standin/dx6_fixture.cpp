#include "dx6_fixture.h"

#include <cstring>

namespace dx6test {

namespace runtime = standin::runtime;

DDSURFACEDESC2 Desc(DWORD flags, DWORD caps, DWORD width, DWORD height)
{
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    desc.dwWidth = width;
    desc.dwHeight = height;
    return desc;
}

DDSURFACEDESC2 LockDesc() { return Desc(0, 0); }

D3DVIEWPORT2 ViewportData(DWORD width, DWORD height)
{
    D3DVIEWPORT2 data{};
    data.dwSize = sizeof(data);
    data.dwWidth = width;
    data.dwHeight = height;
    data.dvClipX = -1.0f;
    data.dvClipY = 1.0f;
    data.dvClipWidth = 2.0f;
    data.dvClipHeight = 2.0f;
    data.dvMaxZ = 1.0f;
    return data;
}

ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

void Dx6Test::SetUp()
{
    standin::desktop::Reset();
    runtime::Reset();
}

void Dx6Test::TearDown()
{
    runtime::Reset();
    standin::desktop::Reset();
}

HWND Dx6Test::MakeWindow()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "dx6test";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "dx6test", "dx6", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                           nullptr, nullptr);
}

void Dx6Test::CreateDirectDraw()
{
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &directDraw, nullptr));
    ASSERT_EQ(S_OK, directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw4)));
}

IDirectDrawSurface4* Dx6Test::Create(DDSURFACEDESC2 desc)
{
    IDirectDrawSurface4* surface = nullptr;
    HRESULT hr = directDraw4->CreateSurface(&desc, &surface, nullptr);
    EXPECT_EQ(DD_OK, hr) << "flags " << std::hex << desc.dwFlags << " caps " << desc.ddsCaps.dwCaps;
    return surface;
}

IDirectDrawSurface4* Dx6Test::CreateTexture(DWORD width, DWORD height, DWORD caps, DWORD caps2,
                                            const DDPIXELFORMAT& format)
{
    DDSURFACEDESC2 desc = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT, caps, width, height);
    desc.ddsCaps.dwCaps2 = caps2;
    desc.ddpfPixelFormat = format;
    return Create(desc);
}

void Dx6Test::CreateWindowedSurfaces(DWORD width, DWORD height)
{
    CreateDirectDraw();
    ASSERT_EQ(DD_OK, directDraw->SetCooperativeLevel(MakeWindow(), DDSCL_NORMAL));
    primary = Create(Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE));
    backBuffer = Create(Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
                             DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY, width, height));
    ASSERT_EQ(S_OK, directDraw4->QueryInterface(IID_IDirect3D3, reinterpret_cast<void**>(&direct3D)));
    DDSURFACEDESC2 z = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT,
                            DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY, width, height);
    z.ddpfPixelFormat = runtime::DefaultZBufferFormats()[0];
    zBuffer = Create(z);
    ASSERT_NE(nullptr, backBuffer);
    ASSERT_EQ(DD_OK, backBuffer->AddAttachedSurface(zBuffer));
}

void Dx6Test::CreateWindowedDevice(DWORD width, DWORD height)
{
    CreateWindowedSurfaces(width, height);
    ASSERT_EQ(D3D_OK, direct3D->CreateDevice(IID_IDirect3DHALDevice, backBuffer, &device, nullptr));
    ASSERT_EQ(D3D_OK, direct3D->CreateViewport(&viewport, nullptr));
    ASSERT_EQ(D3D_OK, device->AddViewport(viewport));
    D3DVIEWPORT2 data = ViewportData(width, height);
    ASSERT_EQ(D3D_OK, viewport->SetViewport2(&data));
    ASSERT_EQ(D3D_OK, device->SetCurrentViewport(viewport));
}

namespace {

template <typename T>
void ReleaseAndNull(T*& object)
{
    if (object) object->Release();
    object = nullptr;
}

}  // namespace

void Dx6Test::ReleaseAll()
{
    ReleaseAndNull(viewport);
    ReleaseAndNull(device);
    ReleaseAndNull(zBuffer);
    ReleaseAndNull(backBuffer);
    ReleaseAndNull(primary);
    ReleaseAndNull(direct3D);
    ReleaseAndNull(directDraw4);
    ReleaseAndNull(directDraw);
}

}  // namespace dx6test
