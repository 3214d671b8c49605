// The test control: the fault plan, the journal and Reset.
#include <stdexcept>

#include "dx6_fixture.h"

namespace dx6test {
namespace {

namespace runtime = standin::runtime;

using Control = Dx6Test;

DDSURFACEDESC2 Offscreen()
{
    return Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN, 8, 8);
}

TEST_F(Control, PlannedFailureHitsTheNthCallCountedFromNowWithoutEffect)
{
    CreateDirectDraw();
    ASSERT_EQ(DD_OK, directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    IDirectDrawSurface4* first = Create(Offscreen());  // before the plan: not counted
    runtime::FailCall("IDirectDraw4::CreateSurface", 2, DDERR_OUTOFVIDEOMEMORY);
    IDirectDrawSurface4* second = Create(Offscreen());
    int live = runtime::LiveObjects();

    DDSURFACEDESC2 desc = Offscreen();
    IDirectDrawSurface4* failed = reinterpret_cast<IDirectDrawSurface4*>(0x1234);
    EXPECT_EQ(DDERR_OUTOFVIDEOMEMORY, directDraw4->CreateSurface(&desc, &failed, nullptr));
    EXPECT_EQ(reinterpret_cast<IDirectDrawSurface4*>(0x1234), failed);  // untouched
    EXPECT_EQ(live, runtime::LiveObjects());
    EXPECT_EQ(3u, RefCount(directDraw4));  // the program's and its two surfaces'; none for the failed one

    IDirectDrawSurface4* fourth = Create(Offscreen());  // the plan is spent
    EXPECT_NE(nullptr, fourth);
    for (IDirectDrawSurface4* s : {first, second, fourth}) s->Release();
    ReleaseAll();
}

TEST_F(Control, PlannedThrowRaisesAndIsJournaled)
{
    runtime::ThrowOnCall("DirectDrawCreate", 1);
    EXPECT_THROW(DirectDrawCreate(nullptr, &directDraw, nullptr), std::runtime_error);
    EXPECT_EQ(nullptr, directDraw);
    EXPECT_EQ(0, runtime::LiveObjects());
    ASSERT_EQ(1u, runtime::Journal().size());
    EXPECT_TRUE(runtime::Journal()[0].threw);
    EXPECT_EQ(DD_OK, DirectDrawCreate(nullptr, &directDraw, nullptr));
    ReleaseAll();
}

TEST_F(Control, PlannedFailureOfReleaseKeepsTheReference)
{
    CreateDirectDraw();
    runtime::FailCall("IDirectDraw4::Release", 1, E_FAIL);
    EXPECT_EQ(1u, directDraw4->Release());
    EXPECT_EQ(E_FAIL, runtime::Journal().back().result);
    EXPECT_EQ(0u, directDraw4->Release());
    directDraw4 = nullptr;
    ReleaseAll();
    EXPECT_EQ(0, runtime::LiveObjects());
}

TEST_F(Control, ClearFaultsForgetsThePlan)
{
    runtime::FailCall("DirectDrawCreate", 1, E_OUTOFMEMORY);
    runtime::ClearFaults();
    EXPECT_EQ(DD_OK, DirectDrawCreate(nullptr, &directDraw, nullptr));
    ReleaseAll();
}

TEST_F(Control, JournalHoldsTheProgramsCallsInOrderWithObjectAndResult)
{
    CreateWindowedDevice();
    const void* madeOn = directDraw4;
    const void* deviceObject = device;
    runtime::ClearJournal();
    DDSURFACEDESC2 bad = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawSurface4* second = nullptr;
    directDraw4->CreateSurface(&bad, &second, nullptr);
    device->BeginScene();
    ReleaseAll();

    const std::vector<runtime::Call>& journal = runtime::Journal();
    std::vector<std::string> expected = {
        "IDirectDraw4::CreateSurface",  "IDirect3DDevice3::BeginScene", "IDirect3DViewport3::Release",
        "IDirect3DDevice3::Release",    "IDirectDrawSurface4::Release", "IDirectDrawSurface4::Release",
        "IDirectDrawSurface4::Release", "IDirect3D3::Release",          "IDirectDraw4::Release",
        "IDirectDraw::Release",
    };
    // What the device releases of its own accord is not the program's call.
    EXPECT_EQ(expected, runtime::JournalOperations());
    EXPECT_EQ(DDERR_PRIMARYSURFACEALREADYEXISTS, journal[0].result);
    EXPECT_EQ(D3D_OK, journal[1].result);
    EXPECT_EQ(2, journal[2].result);  // the viewport's count after the release
    EXPECT_EQ(madeOn, journal[0].object);
    EXPECT_EQ(deviceObject, journal[1].object);
}

HRESULT CALLBACK CreateViewportInside(DDPIXELFORMAT*, void* context)
{
    IDirect3DViewport3* viewport = nullptr;
    static_cast<IDirect3D3*>(context)->CreateViewport(&viewport, nullptr);
    viewport->Release();
    return D3DENUMRET_CANCEL;
}

TEST_F(Control, CallsMadeFromACallbackFollowTheCallThatMadeThem)
{
    CreateWindowedSurfaces();
    runtime::ClearJournal();
    direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, CreateViewportInside, direct3D);
    std::vector<std::string> expected = {"IDirect3D3::EnumZBufferFormats", "IDirect3D3::CreateViewport",
                                         "IDirect3DViewport3::Release"};
    EXPECT_EQ(expected, runtime::JournalOperations());
    EXPECT_EQ(D3D_OK, runtime::Journal()[0].result);
    ReleaseAll();
}

TEST_F(Control, ResetForgetsObjectsPlanJournalAndDisplay)
{
    CreateDirectDraw();
    ASSERT_EQ(DD_OK, directDraw->SetCooperativeLevel(MakeWindow(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    ASSERT_EQ(DD_OK, directDraw->SetDisplayMode(800, 600, 16));
    runtime::FailCall("DirectDrawCreate", 1, E_FAIL);
    runtime::SetZBufferFormats({});
    runtime::Reset();
    directDraw = nullptr;
    directDraw4 = nullptr;

    EXPECT_EQ(0, runtime::LiveObjects());
    EXPECT_TRUE(runtime::Journal().empty());
    EXPECT_EQ(1024u, runtime::CurrentDisplayMode().width);
    EXPECT_EQ(32u, runtime::CurrentDisplayMode().bitsPerPixel);
    EXPECT_EQ(0u, runtime::CooperativeLevel());
    EXPECT_EQ(4u, runtime::DefaultZBufferFormats().size());
    EXPECT_EQ(DD_OK, DirectDrawCreate(nullptr, &directDraw, nullptr));
    ReleaseAll();
}

}  // namespace
}  // namespace dx6test
