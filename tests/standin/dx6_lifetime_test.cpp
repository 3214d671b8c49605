// Reference counts per interface, what holds references on what, and the
// objects going away when the last one is released.
#include "dx6_fixture.h"

namespace dx6test {
namespace {

namespace runtime = standin::runtime;

using Lifetime = Dx6Test;

TEST_F(Lifetime, ReleasingInTheApplicationsOrderFreesEveryObject)
{
    CreateWindowedDevice();
    EXPECT_EQ(6, runtime::LiveObjects());  // DirectDraw, primary, back buffer, Z-buffer, device, viewport

    // The device holds the viewport twice (added, current), the back buffer
    // holds the still attached Z-buffer, the surfaces hold IDirectDraw4,
    // IDirect3D3 counts on IDirectDraw.
    EXPECT_EQ(2u, viewport->Release());
    EXPECT_EQ(0u, device->Release());
    EXPECT_EQ(1u, zBuffer->Release());
    EXPECT_EQ(0u, backBuffer->Release());
    EXPECT_EQ(0u, primary->Release());
    EXPECT_EQ(1u, direct3D->Release());
    EXPECT_EQ(1, runtime::LiveObjects());
    EXPECT_EQ(0u, directDraw4->Release());
    EXPECT_EQ(0u, directDraw->Release());
    EXPECT_EQ(0, runtime::LiveObjects());
}

TEST_F(Lifetime, FullScreenChainIsFreedWithItsPrimaryAndTheModeComesBack)
{
    CreateDirectDraw();
    ASSERT_EQ(DD_OK, directDraw->SetCooperativeLevel(MakeWindow(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    ASSERT_EQ(DD_OK, directDraw->SetDisplayMode(640, 480, 32));
    DDSURFACEDESC2 desc =
        Desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                                                   DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY);
    desc.dwBackBufferCount = 1;
    primary = Create(desc);
    ASSERT_NE(nullptr, primary);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, {0}};
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &backBuffer));
    EXPECT_EQ(2u, RefCount(backBuffer));  // the chain's and the program's
    EXPECT_EQ(640u, runtime::Inspect(backBuffer).width);
    EXPECT_EQ(1u, backBuffer->Release());
    backBuffer = nullptr;
    EXPECT_EQ(3, runtime::LiveObjects());

    EXPECT_EQ(0u, primary->Release());
    primary = nullptr;
    EXPECT_EQ(1, runtime::LiveObjects());
    ReleaseAll();
    EXPECT_EQ(0, runtime::LiveObjects());
    EXPECT_EQ(1024u, runtime::CurrentDisplayMode().width);
    EXPECT_EQ(0u, runtime::CooperativeLevel());
}

TEST_F(Lifetime, DirectDrawInterfacesKeepTheirOwnCountsAndDirect3DSharesIDirectDraws)
{
    CreateDirectDraw();
    ASSERT_EQ(DD_OK, directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    EXPECT_EQ(1u, RefCount(directDraw));
    EXPECT_EQ(1u, RefCount(directDraw4));
    ASSERT_EQ(S_OK, directDraw4->QueryInterface(IID_IDirect3D3, reinterpret_cast<void**>(&direct3D)));
    EXPECT_EQ(2u, RefCount(direct3D));
    EXPECT_EQ(2u, RefCount(directDraw));
    EXPECT_EQ(1u, RefCount(directDraw4));

    // A surface holds a reference on the IDirectDraw4 that made it.
    primary = Create(Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE));
    EXPECT_EQ(2u, RefCount(directDraw4));
    EXPECT_EQ(2u, RefCount(directDraw));

    // Releasing IDirectDraw and IDirect3D3 leaves the object alive for IDirectDraw4.
    EXPECT_EQ(1u, directDraw->Release());
    directDraw = nullptr;
    EXPECT_EQ(0u, direct3D->Release());
    direct3D = nullptr;
    EXPECT_EQ(2, runtime::LiveObjects());
    EXPECT_EQ(0u, primary->Release());
    primary = nullptr;
    EXPECT_EQ(0u, directDraw4->Release());
    directDraw4 = nullptr;
    EXPECT_EQ(0, runtime::LiveObjects());
}

TEST_F(Lifetime, QueryInterfaceHandsOutTheRightInterfaceOrNone)
{
    CreateDirectDraw();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, directDraw->QueryInterface(IID_IDirect3DDevice3, &object));
    EXPECT_EQ(nullptr, object);
    IDirectDraw* again = nullptr;
    ASSERT_EQ(S_OK, directDraw4->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(directDraw, again);
    EXPECT_EQ(2u, RefCount(directDraw));
    again->Release();
    EXPECT_EQ(DDERR_INVALIDPARAMS, directDraw->QueryInterface(IID_IDirectDraw4, nullptr));
    ReleaseAll();
}

TEST_F(Lifetime, TextureInterfaceCountsOnTheSurfacesCount)
{
    CreateWindowedSurfaces();
    IDirectDrawSurface4* texture =
        CreateTexture(16, 16, DDSCAPS_TEXTURE, DDSCAPS2_TEXTUREMANAGE, runtime::DefaultTextureFormats()[5]);
    ASSERT_NE(nullptr, texture);
    IDirect3DTexture2* d3dTexture = nullptr;
    ASSERT_EQ(S_OK, texture->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&d3dTexture)));
    EXPECT_EQ(2u, RefCount(d3dTexture));
    EXPECT_EQ(2u, RefCount(texture));
    int live = runtime::LiveObjects();

    EXPECT_EQ(1u, texture->Release());
    EXPECT_EQ(live, runtime::LiveObjects());
    EXPECT_EQ(0u, d3dTexture->Release());
    EXPECT_EQ(live - 1, runtime::LiveObjects());
    ReleaseAll();
    EXPECT_EQ(0, runtime::LiveObjects());
}

TEST_F(Lifetime, DeviceHoldsItsTargetTexturesAndViewports)
{
    CreateWindowedDevice();
    EXPECT_EQ(2u, RefCount(backBuffer));  // the program's and the device's
    EXPECT_EQ(3u, RefCount(viewport));    // the program's, added, current

    IDirectDrawSurface4* texture =
        CreateTexture(8, 8, DDSCAPS_TEXTURE, DDSCAPS2_TEXTUREMANAGE, runtime::DefaultTextureFormats()[5]);
    IDirect3DTexture2* d3dTexture = nullptr;
    ASSERT_EQ(S_OK, texture->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&d3dTexture)));
    ASSERT_EQ(D3D_OK, device->SetTexture(0, d3dTexture));
    ASSERT_EQ(D3D_OK, device->SetTexture(1, d3dTexture));
    EXPECT_EQ(2u, RefCount(d3dTexture));  // the device's hold does not show
    texture->Release();
    EXPECT_EQ(0u, d3dTexture->Release());

    // The texture outlives the program's references until the device lets go.
    int live = runtime::LiveObjects();
    EXPECT_EQ(0u, device->Release());
    device = nullptr;
    EXPECT_EQ(live - 2, runtime::LiveObjects());  // device and texture
    EXPECT_EQ(1u, RefCount(backBuffer));
    EXPECT_EQ(1u, RefCount(viewport));
    ReleaseAll();
    EXPECT_EQ(0, runtime::LiveObjects());
}

TEST_F(Lifetime, SetTextureAndSetRenderTargetSwapTheirReferences)
{
    CreateWindowedDevice();
    IDirectDrawSurface4* target =
        CreateTexture(32, 32, DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY, 0,
                      runtime::DefaultTextureFormats()[5]);
    IDirect3DTexture2* d3dTexture = nullptr;
    ASSERT_EQ(S_OK, target->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&d3dTexture)));

    ASSERT_EQ(D3D_OK, device->SetRenderTarget(target, 0));
    EXPECT_EQ(3u, RefCount(target));  // the surface's, its texture interface's, the device's
    EXPECT_EQ(1u, RefCount(backBuffer));
    ASSERT_EQ(D3D_OK, device->SetRenderTarget(backBuffer, 0));
    EXPECT_EQ(2u, RefCount(target));
    EXPECT_EQ(2u, RefCount(backBuffer));

    // Unbinding lets go of the texture: released now, it is gone.
    ASSERT_EQ(D3D_OK, device->SetTexture(0, d3dTexture));
    ASSERT_EQ(D3D_OK, device->SetTexture(0, nullptr));
    int live = runtime::LiveObjects();
    d3dTexture->Release();
    EXPECT_EQ(0u, target->Release());
    EXPECT_EQ(live - 1, runtime::LiveObjects());
    ReleaseAll();
    EXPECT_EQ(0, runtime::LiveObjects());
}

}  // namespace
}  // namespace dx6test
