// Surfaces: what CreateSurface refuses, memory with a padded pitch, the
// lock and loss rules, Blt and Flip, attachments and mip chains.
#include <cstring>
#include <set>
#include <string>

#include "dx6_fixture.h"

namespace dx6test {
namespace {

namespace runtime = standin::runtime;

const DWORD kSizeFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
const DWORD kFormatFlags = kSizeFlags | DDSD_PIXELFORMAT;

DDPIXELFORMAT Argb32() { return runtime::DefaultTextureFormats()[5]; }

class Surfaces : public Dx6Test {
protected:
    void SetUp() override
    {
        Dx6Test::SetUp();
        CreateWindowedSurfaces(100, 50);
    }
    void TearDown() override
    {
        ReleaseAll();
        EXPECT_EQ(0, runtime::LiveObjects());
        Dx6Test::TearDown();
    }
    IDirectDrawSurface4* Offscreen(DWORD width, DWORD height, DWORD memory = DDSCAPS_VIDEOMEMORY)
    {
        return Create(Desc(kSizeFlags, DDSCAPS_OFFSCREENPLAIN | memory, width, height));
    }
    // Writes value at (x, y) through a lock, minding the pitch.
    void Poke(IDirectDrawSurface4* surface, int x, int y, uint32_t value)
    {
        DDSURFACEDESC2 desc = LockDesc();
        ASSERT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        auto* row = static_cast<unsigned char*>(desc.lpSurface) + y * desc.lPitch;
        std::memcpy(row + x * 4, &value, 4);
        ASSERT_EQ(DD_OK, surface->Unlock(nullptr));
    }
};

struct Refusal {
    const char* name;
    DDSURFACEDESC2 desc;
    HRESULT result;
};

DDSURFACEDESC2 With(DDSURFACEDESC2 desc, void (*change)(DDSURFACEDESC2&))
{
    change(desc);
    return desc;
}

TEST_F(Surfaces, CreateSurfaceRefusesWhatDirectDrawRefuses)
{
    const DWORD mip = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
    const DWORD flip = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    const Refusal cases[] = {
        {"descriptor of the 32-bit size",
         With(Desc(DDSD_CAPS, DDSCAPS_OFFSCREENPLAIN, 8, 8), [](DDSURFACEDESC2& d) { d.dwSize = 124; }),
         DDERR_INVALIDPARAMS},
        {"second primary", Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE), DDERR_PRIMARYSURFACEALREADYEXISTS},
        {"flipping chain at the normal level",
         With(Desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, flip),
              [](DDSURFACEDESC2& d) { d.dwBackBufferCount = 1; }),
         DDERR_NOEXCLUSIVEMODE},
        {"flip without complex",
         With(Desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP),
              [](DDSURFACEDESC2& d) { d.dwBackBufferCount = 1; }),
         DDERR_INVALIDCAPS},
        {"flip without back buffers", Desc(DDSD_CAPS, flip), DDERR_INVALIDCAPS},
        {"off-screen without a size", Desc(DDSD_CAPS, DDSCAPS_OFFSCREENPLAIN), DDERR_INVALIDPARAMS},
        {"off-screen of width 0", Desc(kSizeFlags, DDSCAPS_OFFSCREENPLAIN, 0, 8), DDERR_INVALIDPARAMS},
        {"system and video memory at once",
         Desc(kSizeFlags, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY, 8, 8),
         DDERR_INVALIDCAPS},
        {"managed texture in system memory",
         With(Desc(kFormatFlags, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, 8, 8),
              [](DDSURFACEDESC2& d) {
                  d.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
                  d.ddpfPixelFormat = Argb32();
              }),
         DDERR_INVALIDCAPS},
        {"managed off-screen surface",
         With(Desc(kSizeFlags, DDSCAPS_OFFSCREENPLAIN, 8, 8),
              [](DDSURFACEDESC2& d) { d.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE; }),
         DDERR_INVALIDCAPS},
        {"mip map that is no texture", Desc(kSizeFlags, DDSCAPS_MIPMAP | DDSCAPS_COMPLEX, 8, 8),
         DDERR_INVALIDCAPS},
        {"mip count 0",
         With(Desc(kFormatFlags | DDSD_MIPMAPCOUNT, mip, 128, 32),
              [](DDSURFACEDESC2& d) { d.ddpfPixelFormat = Argb32(); }),
         DDERR_INVALIDPARAMS},
        {"Z-buffer in a format not offered",
         With(Desc(kFormatFlags, DDSCAPS_ZBUFFER, 8, 8),
              [](DDSURFACEDESC2& d) {
                  d.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER;
                  d.ddpfPixelFormat.dwZBufferBitDepth = 15;
                  d.ddpfPixelFormat.dwZBitMask = 0x7FFF;
              }),
         DDERR_INVALIDPIXELFORMAT},
        {"Z-buffer without a format", Desc(kSizeFlags, DDSCAPS_ZBUFFER, 8, 8), DDERR_INVALIDPIXELFORMAT},
        {"texture in a format not offered",
         With(Desc(kFormatFlags, DDSCAPS_TEXTURE, 8, 8),
              [](DDSURFACEDESC2& d) {
                  d.ddpfPixelFormat = Argb32();
                  d.ddpfPixelFormat.dwRBitMask = 0x000000FF;
                  d.ddpfPixelFormat.dwBBitMask = 0x00FF0000;
              }),
         DDERR_INVALIDPIXELFORMAT},
    };
    for (const Refusal& c : cases) {
        DDSURFACEDESC2 desc = c.desc;
        IDirectDrawSurface4* surface = reinterpret_cast<IDirectDrawSurface4*>(0x1);
        int live = runtime::LiveObjects();
        EXPECT_EQ(c.result, directDraw4->CreateSurface(&desc, &surface, nullptr)) << c.name;
        EXPECT_EQ(nullptr, surface) << c.name;
        EXPECT_EQ(live, runtime::LiveObjects()) << c.name;
    }
    DDSURFACEDESC2 desc = Desc(kSizeFlags, DDSCAPS_OFFSCREENPLAIN, 8, 8);
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, directDraw4->CreateSurface(&desc, &surface, directDraw4));
}

TEST_F(Surfaces, NothingIsCreatedBeforeACooperativeLevel)
{
    IDirectDraw* other = nullptr;
    IDirectDraw4* other4 = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &other, nullptr));
    ASSERT_EQ(S_OK, other->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&other4)));
    DDSURFACEDESC2 desc = Desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(DDERR_NOCOOPERATIVELEVELSET, other4->CreateSurface(&desc, &surface, nullptr));
    other4->Release();
    other->Release();
}

TEST_F(Surfaces, PrimaryAndBackBufferTakeTheDisplaysSizeAndFormat)
{
    runtime::SurfaceInfo info = runtime::Inspect(primary);
    EXPECT_EQ(1024u, info.width);
    EXPECT_EQ(768u, info.height);
    EXPECT_EQ(DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY | DDSCAPS_VISIBLE | DDSCAPS_LOCALVIDMEM,
              info.caps);
    DDSURFACEDESC2 desc = Desc(0, 0);
    ASSERT_EQ(DD_OK, backBuffer->GetSurfaceDesc(&desc));
    EXPECT_EQ(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT, desc.dwFlags);
    EXPECT_EQ(100u, desc.dwWidth);
    EXPECT_EQ(DDPF_RGB, desc.ddpfPixelFormat.dwFlags);
    EXPECT_EQ(32u, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0x00FF0000u, desc.ddpfPixelFormat.dwRBitMask);
    desc.dwSize = 124;
    EXPECT_EQ(DDERR_INVALIDPARAMS, backBuffer->GetSurfaceDesc(&desc));
}

TEST_F(Surfaces, RowsArePaddedBeyondTheirPixels)
{
    for (DWORD width : {1u, 16u, 100u, 256u, 800u}) {
        IDirectDrawSurface4* surface = Offscreen(width, 3);
        DDSURFACEDESC2 desc = LockDesc();
        ASSERT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        EXPECT_GT(desc.lPitch, static_cast<LONG>(width * 4)) << width;
        EXPECT_EQ(0, desc.lPitch % 4) << width;
        EXPECT_EQ(desc.lPitch, runtime::Inspect(surface).pitch) << width;
        ASSERT_EQ(DD_OK, surface->Unlock(nullptr));
        // A pixel written at the start of row 2 is read back there, not elsewhere.
        Poke(surface, 0, 2, 0x00ABCDEF);
        EXPECT_EQ(0x00ABCDEFu, runtime::ReadPixel(surface, 0, 2)) << width;
        surface->Release();
    }
}

TEST_F(Surfaces, LockAndUnlockFollowTheRules)
{
    IDirectDrawSurface4* surface = Offscreen(16, 8);
    DDSURFACEDESC2 desc = LockDesc();
    RECT outside{0, 0, 17, 8};
    EXPECT_EQ(DDERR_INVALIDPARAMS, surface->Lock(&outside, &desc, DDLOCK_WAIT, nullptr));
    desc.dwSize = 124;
    EXPECT_EQ(DDERR_INVALIDPARAMS, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_NOTLOCKED, surface->Unlock(nullptr));

    desc = LockDesc();
    RECT inner{2, 3, 5, 6};
    ASSERT_EQ(DD_OK, surface->Lock(&inner, &desc, DDLOCK_WAIT, nullptr));
    unsigned char* corner = static_cast<unsigned char*>(desc.lpSurface);
    EXPECT_TRUE(runtime::Inspect(surface).locked);
    EXPECT_EQ(16u, desc.dwWidth);
    DDSURFACEDESC2 again = LockDesc();
    EXPECT_EQ(DDERR_SURFACEBUSY, surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DD_OK, surface->Unlock(nullptr));
    EXPECT_EQ(DDERR_NOTLOCKED, surface->Unlock(nullptr));

    ASSERT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(static_cast<unsigned char*>(desc.lpSurface) + 3 * desc.lPitch + 2 * 4, corner);
    surface->Unlock(nullptr);
    surface->Release();
}

TEST_F(Surfaces, LostSurfacesRefuseUntilRestoredWithUndefinedContents)
{
    IDirectDrawSurface4* surface = Offscreen(16, 8);
    DDSURFACEDESC2 desc = LockDesc();
    ASSERT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    for (int y = 0; y < 8; ++y)
        std::memset(static_cast<unsigned char*>(desc.lpSurface) + y * desc.lPitch, 0, 64);
    surface->Unlock(nullptr);

    EXPECT_EQ(DD_OK, surface->IsLost());
    runtime::LoseAllSurfaces();
    EXPECT_EQ(DDERR_SURFACELOST, surface->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACELOST, backBuffer->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACELOST, surface->Blt(nullptr, backBuffer, nullptr, DDBLT_WAIT, nullptr));

    EXPECT_EQ(DD_OK, surface->Restore());
    EXPECT_EQ(DD_OK, surface->IsLost());
    std::set<uint32_t> values;
    for (int x = 0; x < 16; ++x) values.insert(runtime::ReadPixel(surface, x, 0));
    EXPECT_GT(values.size(), 1u) << "restored memory holds no pattern";
    EXPECT_EQ(DD_OK, surface->Restore());  // not lost: nothing to do
    surface->Release();
}

TEST_F(Surfaces, ModeChangeLosesVideoMemoryOnly)
{
    IDirectDrawSurface4* system = Offscreen(8, 8, DDSCAPS_SYSTEMMEMORY);
    ASSERT_EQ(DD_OK, directDraw->SetDisplayMode(800, 600, 32));
    EXPECT_EQ(DDERR_SURFACELOST, primary->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, backBuffer->IsLost());
    EXPECT_EQ(DD_OK, system->IsLost());
    EXPECT_EQ(DDERR_INVALIDMODE, directDraw->SetDisplayMode(123, 77, 32));
    EXPECT_EQ(DD_OK, directDraw->RestoreDisplayMode());
    EXPECT_EQ(1024u, runtime::CurrentDisplayMode().width);
    system->Release();
}

TEST_F(Surfaces, BltChecksItsRectanglesAndSurfaces)
{
    IDirectDrawSurface4* source = Offscreen(100, 50);
    struct Case {
        const char* name;
        RECT dst, src;
        HRESULT result;
    } cases[] = {
        {"inside both", {20, 20, 120, 70}, {0, 0, 100, 50}, DD_OK},
        {"destination beyond the screen", {1000, 700, 1100, 750}, {0, 0, 100, 50}, DDERR_INVALIDRECT},
        {"source beyond its surface", {20, 20, 120, 70}, {0, 0, 101, 50}, DDERR_INVALIDRECT},
        {"empty destination", {20, 20, 20, 70}, {0, 0, 100, 50}, DDERR_INVALIDRECT},
        {"negative destination", {-5, 20, 95, 70}, {0, 0, 100, 50}, DDERR_INVALIDRECT},
        {"inverted source", {20, 20, 120, 70}, {50, 0, 10, 50}, DDERR_INVALIDRECT},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.result, primary->Blt(&c.dst, source, &c.src, DDBLT_WAIT, nullptr)) << c.name;
    }
    EXPECT_EQ(1u, runtime::PrimaryBlits().size());
    EXPECT_EQ(DDERR_INVALIDPARAMS, primary->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDPARAMS, primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr));

    DDSURFACEDESC2 desc = LockDesc();
    ASSERT_EQ(DD_OK, source->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACEBUSY, primary->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    source->Unlock(nullptr);
    source->Release();
}

TEST_F(Surfaces, BltCopiesOneToOneAndStretchesAndIsRecordedOnThePrimary)
{
    IDirectDrawSurface4* source = Offscreen(4, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) Poke(source, x, y, 0x00100000u * (y + 1) + x);
    }
    RECT dst{20, 20, 24, 22}, src{0, 0, 4, 2};
    ASSERT_EQ(DD_OK, primary->Blt(&dst, source, &src, DDBLT_WAIT, nullptr));
    EXPECT_EQ(0x00100003u, runtime::ReadPixel(primary, 23, 20));
    EXPECT_EQ(0x00200000u, runtime::ReadPixel(primary, 20, 21));
    std::vector<runtime::BlitRecord> blits = runtime::PrimaryBlits();
    ASSERT_EQ(1u, blits.size());
    EXPECT_EQ(20, blits[0].dst.left);
    EXPECT_EQ(22, blits[0].dst.bottom);
    EXPECT_EQ(4, blits[0].src.right);
    EXPECT_EQ(source, blits[0].source);

    // Twice the size: every source pixel covers two by two.
    RECT big{0, 0, 8, 4};
    ASSERT_EQ(DD_OK, backBuffer->Blt(&big, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(0x00100000u, runtime::ReadPixel(backBuffer, 1, 1));
    EXPECT_EQ(0x00100001u, runtime::ReadPixel(backBuffer, 2, 1));
    EXPECT_EQ(0x00200003u, runtime::ReadPixel(backBuffer, 7, 3));
    EXPECT_EQ(1u, runtime::PrimaryBlits().size());

    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x00123456;
    RECT fill{1, 1, 3, 2};
    ASSERT_EQ(DD_OK, source->Blt(&fill, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    EXPECT_EQ(0x00123456u, runtime::ReadPixel(source, 2, 1));
    EXPECT_EQ(0x00200003u, runtime::ReadPixel(source, 3, 1));
    source->Release();
}

TEST_F(Surfaces, AttachmentRulesAndLookups)
{
    EXPECT_EQ(DDERR_SURFACEALREADYATTACHED, backBuffer->AddAttachedSurface(zBuffer));
    IDirectDrawSurface4* plain = Offscreen(8, 8);
    EXPECT_EQ(DDERR_CANNOTATTACHSURFACE, backBuffer->AddAttachedSurface(plain));
    EXPECT_EQ(DDERR_CANNOTATTACHSURFACE, backBuffer->AddAttachedSurface(backBuffer));
    EXPECT_EQ(DDERR_INVALIDPARAMS, backBuffer->AddAttachedSurface(nullptr));
    EXPECT_EQ(2u, RefCount(zBuffer));

    DDSCAPS2 caps{DDSCAPS_ZBUFFER, 0, 0, {0}};
    IDirectDrawSurface4* found = nullptr;
    ASSERT_EQ(DD_OK, backBuffer->GetAttachedSurface(&caps, &found));
    EXPECT_EQ(zBuffer, found);
    EXPECT_EQ(3u, RefCount(zBuffer));
    found->Release();

    found = reinterpret_cast<IDirectDrawSurface4*>(0x1);
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    EXPECT_EQ(DDERR_NOTFOUND, primary->GetAttachedSurface(&caps, &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(zBuffer, runtime::Attached(backBuffer, DDSCAPS_ZBUFFER));
    EXPECT_EQ(1, runtime::Inspect(backBuffer).attachments);
    plain->Release();
}

TEST_F(Surfaces, FlippingChainSwapsMemoryAndObeysTheLevel)
{
    ReleaseAll();
    CreateDirectDraw();
    ASSERT_EQ(DD_OK, directDraw->SetCooperativeLevel(MakeWindow(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    DDSURFACEDESC2 desc = Desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                               DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE);
    desc.dwBackBufferCount = 1;
    primary = Create(desc);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, {0}};
    ASSERT_EQ(DD_OK, primary->GetAttachedSurface(&caps, &backBuffer));
    EXPECT_EQ(DDSCAPS_FRONTBUFFER,
              runtime::Inspect(primary).caps & (DDSCAPS_FRONTBUFFER | DDSCAPS_BACKBUFFER));
    EXPECT_EQ(DDSCAPS_BACKBUFFER,
              runtime::Inspect(backBuffer).caps & (DDSCAPS_FRONTBUFFER | DDSCAPS_BACKBUFFER));

    Poke(backBuffer, 5, 5, 0x00C0FFEE);
    ASSERT_EQ(DD_OK, primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(0x00C0FFEEu, runtime::ReadPixel(primary, 5, 5));
    EXPECT_NE(0x00C0FFEEu, runtime::ReadPixel(backBuffer, 5, 5));
    EXPECT_EQ(1, runtime::FlipCount());

    EXPECT_EQ(DDERR_NOTFLIPPABLE, backBuffer->Flip(nullptr, DDFLIP_WAIT));
    DDSURFACEDESC2 lock = LockDesc();
    ASSERT_EQ(DD_OK, backBuffer->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACEBUSY, primary->Flip(nullptr, DDFLIP_WAIT));
    backBuffer->Unlock(nullptr);

    // Restoring the front buffer brings its back buffer back too.
    runtime::LoseAllSurfaces();
    EXPECT_EQ(DDERR_SURFACELOST, primary->Flip(nullptr, DDFLIP_WAIT));
    ASSERT_EQ(DD_OK, primary->Restore());
    EXPECT_EQ(DD_OK, backBuffer->IsLost());

    ASSERT_EQ(DD_OK, directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    EXPECT_EQ(DDERR_NOEXCLUSIVEMODE, primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(1, runtime::FlipCount());
}

TEST_F(Surfaces, MipChainHalvesEachLevel)
{
    struct Case {
        DWORD width, height, flags, count;
        std::vector<std::pair<DWORD, DWORD>> levels;
    } cases[] = {
        {256, 256, DDSD_MIPMAPCOUNT, 4, {{256, 256}, {128, 128}, {64, 64}, {32, 32}}},
        {128, 32, 0, 0, {{128, 32}, {64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}}},
        {128,
         32,
         DDSD_MIPMAPCOUNT,
         8,
         {{128, 32}, {64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}},
        {4, 4, DDSD_MIPMAPCOUNT, 3, {{4, 4}, {2, 2}, {1, 1}}},
        // Wine 8 takes any count; the levels past 1 x 1 stay 1 x 1.
        {4, 4, DDSD_MIPMAPCOUNT, 4, {{4, 4}, {2, 2}, {1, 1}, {1, 1}}},
        {128, 32, DDSD_MIPMAPCOUNT, 9, {{128, 32}, {64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}, {1, 1}}},
    };
    for (const Case& c : cases) {
        DDSURFACEDESC2 desc =
            Desc(kFormatFlags | c.flags,
                 DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY, c.width, c.height);
        desc.dwMipMapCount = c.count;
        desc.ddpfPixelFormat = Argb32();
        IDirectDrawSurface4* top = Create(desc);
        ASSERT_NE(nullptr, top);
        int live = runtime::LiveObjects();

        IDirectDrawSurface4* level = top;
        level->AddRef();
        std::vector<std::pair<DWORD, DWORD>> sizes;
        DDSCAPS2 caps{DDSCAPS_MIPMAP, 0, 0, {0}};
        for (IDirectDrawSurface4* next = nullptr;; level = next) {
            DDSURFACEDESC2 got = Desc(0, 0);
            ASSERT_EQ(DD_OK, level->GetSurfaceDesc(&got));
            sizes.emplace_back(got.dwWidth, got.dwHeight);
            EXPECT_EQ(c.levels.size() - sizes.size() + 1, got.dwMipMapCount);
            EXPECT_EQ(sizes.size() > 1, (got.ddsCaps.dwCaps2 & DDSCAPS2_MIPMAPSUBLEVEL) != 0);
            HRESULT hr = level->GetAttachedSurface(&caps, &next);
            level->Release();
            if (hr != DD_OK) break;
        }
        EXPECT_EQ(c.levels, sizes) << c.width << "x" << c.height << " count " << c.count;
        EXPECT_EQ(0u, top->Release());
        EXPECT_EQ(live - static_cast<int>(c.levels.size()), runtime::LiveObjects());
    }
}

TEST_F(Surfaces, EverySurfaceHandsOutTheDirect3DTextureInterfaceOfItsOwn)
{
    IDirectDrawSurface4* texture = CreateTexture(8, 8, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY, 0, Argb32());
    IDirect3DTexture2* d3dTexture = nullptr;
    ASSERT_EQ(S_OK, texture->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&d3dTexture)));
    IDirectDrawSurface4* back = nullptr;
    ASSERT_EQ(S_OK, d3dTexture->QueryInterface(IID_IDirectDrawSurface4, reinterpret_cast<void**>(&back)));
    EXPECT_EQ(texture, back);
    back->Release();
    d3dTexture->Release();

    // As on Wine 8, an off-screen plain surface has one too.
    IDirectDrawSurface4* plain = Offscreen(8, 8);
    IDirect3DTexture2* plainTexture = nullptr;
    ASSERT_EQ(S_OK, plain->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&plainTexture)));
    ASSERT_EQ(S_OK, plainTexture->QueryInterface(IID_IDirectDrawSurface4, reinterpret_cast<void**>(&back)));
    EXPECT_EQ(plain, back);
    back->Release();
    plainTexture->Release();
    plain->Release();
    texture->Release();
}

TEST_F(Surfaces, TextureFormatsAreThoseTheDriverOffers)
{
    DDPIXELFORMAT rgba = Argb32();
    rgba.dwRBitMask = 0x000000FF;
    rgba.dwBBitMask = 0x00FF0000;
    DDSURFACEDESC2 desc = Desc(kFormatFlags, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY, 8, 8);
    desc.ddpfPixelFormat = rgba;
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, directDraw4->CreateSurface(&desc, &surface, nullptr));
    runtime::OfferRgbaTextureFormat(true);
    surface = Create(desc);
    ASSERT_NE(nullptr, surface);
    EXPECT_EQ(0x000000FFu, runtime::Inspect(surface).format.dwRBitMask);
    surface->Release();

    // Managed textures live in system memory; the runtime copies them to the card.
    IDirectDrawSurface4* managed = CreateTexture(8, 8, DDSCAPS_TEXTURE, DDSCAPS2_TEXTUREMANAGE, Argb32());
    EXPECT_EQ(DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, runtime::Inspect(managed).caps);
    managed->Release();
}

}  // namespace
}  // namespace dx6test
