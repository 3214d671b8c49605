// Shared helpers of the stand-in DirectX tests: a fresh runtime and desktop
// for each test, descriptors, and the objects a program builds.
#pragma once

#include <gtest/gtest.h>

#include "standin/control/desktop.h"
#include "standin/control/runtime.h"

namespace dx6test {

// A surface descriptor of the right size with flags and caps set.
DDSURFACEDESC2 Desc(DWORD flags, DWORD caps, DWORD width = 0, DWORD height = 0);
DDSURFACEDESC2 LockDesc();
D3DVIEWPORT2 ViewportData(DWORD width, DWORD height);

// The count an interface has now, read the COM way (AddRef, then Release).
ULONG RefCount(IUnknown* object);

class Dx6Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND MakeWindow();
    // DirectDrawCreate and QueryInterface for IDirectDraw4 (into directDraw, directDraw4).
    void CreateDirectDraw();
    // The windowed set-up of a program: normal level, primary, a 3D back
    // buffer of width x height, Direct3D, a D16 Z-buffer attached to the back buffer.
    void CreateWindowedSurfaces(DWORD width = 64, DWORD height = 48);
    // ... and the HAL device on the back buffer with a viewport added, set and current.
    void CreateWindowedDevice(DWORD width = 64, DWORD height = 48);
    // A surface from a descriptor; fails the test when CreateSurface fails.
    IDirectDrawSurface4* Create(DDSURFACEDESC2 desc);
    IDirectDrawSurface4* CreateTexture(DWORD width, DWORD height, DWORD caps, DWORD caps2,
                                       const DDPIXELFORMAT& format);
    // Releases everything the fixture holds, in the application's order.
    void ReleaseAll();

    IDirectDraw* directDraw = nullptr;
    IDirectDraw4* directDraw4 = nullptr;
    IDirectDrawSurface4* primary = nullptr;
    IDirectDrawSurface4* backBuffer = nullptr;
    IDirectDrawSurface4* zBuffer = nullptr;
    IDirect3D3* direct3D = nullptr;
    IDirect3DDevice3* device = nullptr;
    IDirect3DViewport3* viewport = nullptr;
};

}  // namespace dx6test
