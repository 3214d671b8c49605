// CTexture6 on the stand-in: what lands in the surfaces, which surfaces are
// made, and the log lines and codes of every failure.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/standin/texture_fixture.h"
#include "texture/texture6.h"

namespace runtime = standin::runtime;
namespace desktop = standin::desktop;

namespace {

const DWORD kTarget01 = 101;
const DWORD kEmpty = 102;
const DWORD kTestImage = 200;  // a resource id a test fills with an image of its own

const D3DCOLOR kRed = 0x00FF0000;
const D3DCOLOR kGreen = 0x0000FF00;
const D3DCOLOR kBlue = 0x000000FF;

const char kLoadLine[] = "ERROR: while creating surface (CTexture6::LoadFromResource)";
const char kDecodeLine[] = "ERROR: Can't load texture file (DevIL error)";
const char kFillLine[] = "ERROR: while surface filling (CTexture6::CreateSurface)";
const char kLockLine[] = "ERROR: can't lock surface (CTexture6::FillSurface)";

// Raw 32-bit texel of an opaque colour in the two byte orders the texture writes.
uint32_t InBgra(D3DCOLOR rgb) { return 0xFF000000u | rgb; }
uint32_t InRgba(D3DCOLOR rgb)
{
    return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

D3DCOLOR CheckerboardAt(int x, int y) { return (x / 16 + y / 16) % 2 == 0 ? kRed : kGreen; }

int CountCalls(const std::string& operation, const void* object = nullptr)
{
    int count = 0;
    for (const runtime::Call& call : runtime::Journal()) {
        if (call.operation == operation && (!object || call.object == object)) ++count;
    }
    return count;
}

// ---------------------------------------------------------------- pixels

struct ByteOrderCase {
    const char* name;
    bool offerRgba;
    uint32_t (*pack)(D3DCOLOR);
};
void PrintTo(const ByteOrderCase& c, std::ostream* out) { *out << c.name; }

class TextureByteOrder : public TextureDeviceTest, public ::testing::WithParamInterface<ByteOrderCase> {};

TEST_P(TextureByteOrder, EmptyFillsEveryTexelWithItsStoredColourAndOpaqueAlphaAtThePaddedPitch)
{
    runtime::OfferRgbaTextureFormat(GetParam().offerRgba);
    CTexture6 texture;
    ASSERT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kEmpty, "JPG", 0, &app), DD_OK);

    const runtime::SurfaceInfo info = runtime::Inspect(texture.GetSurface());
    EXPECT_EQ(info.format.dwRBitMask, GetParam().offerRgba ? 0x000000FFu : 0x00FF0000u);
    EXPECT_GT(info.pitch, 128 * 4) << "the stand-in pads rows, so a fill that ignores the pitch shows";
    EXPECT_EQ(texture.GetWidth(), 128u);
    EXPECT_EQ(texture.GetHeight(), 128u);
    const std::vector<uint32_t> texels = ReadTexels(texture.GetSurface());
    ASSERT_EQ(texels.size(), 128u * 128u);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            ASSERT_EQ(texels[y * 128 + x], GetParam().pack(CheckerboardAt(x, y)))
                << "texel (" << x << ", " << y << ")";
        }
    }
    EXPECT_TRUE(app.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(RedMask, TextureByteOrder,
                         ::testing::Values(ByteOrderCase{"BgraForA8R8G8B8", false, InBgra},
                                           ByteOrderCase{"RgbaForRedInTheLowestByte", true, InRgba}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextureDeviceTest, BottomUpBmpLandsWithItsBottomRowInSurfaceRowZero)
{
    desktop::AddResource("JPG", kTestImage, Bmp24({{kRed, kRed, kRed}, {kGreen, kGreen, kGreen}}));
    CTexture6 texture;
    ASSERT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kTestImage, "JPG", 0, &app), DD_OK);
    EXPECT_EQ(ReadTexels(texture.GetSurface()),
              (std::vector<uint32_t>{InBgra(kGreen), InBgra(kGreen), InBgra(kGreen), InBgra(kRed),
                                     InBgra(kRed), InBgra(kRed)}));
}

// ---------------------------------------------------------------- surfaces

TEST_F(TextureDeviceTest, Target01IsA256By256RenderTargetWithItsOwnZBufferInTheApplicationsZFormat)
{
    CTexture6 texture;
    ASSERT_EQ(
        texture.LoadFromResource(app.directDraw4, app.device, kTarget01, "JPG", TEXTURE_RENDERTARGET, &app),
        DD_OK);
    ASSERT_EQ(texture.CreateZBuffer(app.directDraw4, app.zBuffer), DD_OK);

    EXPECT_EQ(texture.GetWidth(), 256u);
    EXPECT_EQ(texture.GetHeight(), 256u);
    const runtime::SurfaceInfo target = runtime::Inspect(texture.GetSurface());
    EXPECT_EQ(target.caps & (DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY),
              DWORD(DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY));
    EXPECT_NE(texture.GetD3DTexture(), nullptr);

    ASSERT_NE(texture.zSurface, nullptr);
    EXPECT_EQ(runtime::Attached(texture.GetSurface(), DDSCAPS_ZBUFFER), texture.zSurface);
    const runtime::SurfaceInfo z = runtime::Inspect(texture.zSurface);
    const runtime::SurfaceInfo appZ = runtime::Inspect(app.zBuffer);
    EXPECT_EQ(z.width, 256u);
    EXPECT_EQ(z.height, 256u);
    EXPECT_EQ(z.format.dwFlags, appZ.format.dwFlags);
    EXPECT_EQ(z.format.dwZBufferBitDepth, appZ.format.dwZBufferBitDepth);
    EXPECT_EQ(z.format.dwZBitMask, appZ.format.dwZBitMask);
    EXPECT_EQ(z.format.dwStencilBitDepth, appZ.format.dwStencilBitDepth);
    EXPECT_TRUE(app.lines.empty());
}

struct SurfaceKindCase {
    const char* name;
    DWORD flags;
    DWORD caps;  // what the surface must have of DDSCAPS_TEXTURE ... DDSCAPS_MIPMAP
    DWORD caps2;
    bool alpha;
    bool d3dTexture;
};
void PrintTo(const SurfaceKindCase& c, std::ostream* out) { *out << c.name; }

class TextureSurfaceKind : public TextureDeviceTest, public ::testing::WithParamInterface<SurfaceKindCase> {};

TEST_P(TextureSurfaceKind, FlagsChooseTheSurfaceItsFormatAndItsDirect3DInterface)
{
    const SurfaceKindCase& c = GetParam();
    CTexture6 texture;
    ASSERT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kEmpty, "JPG", c.flags, &app), DD_OK);

    // Where a managed texture lives is the runtime's choice; any other
    // surface is where the flags put it.
    const DWORD memory = c.caps2 ? 0 : DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY;
    const DWORD decisive =
        DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_MIPMAP | memory;
    const runtime::SurfaceInfo info = runtime::Inspect(texture.GetSurface());
    EXPECT_EQ(info.caps & decisive, c.caps & decisive);
    EXPECT_EQ(info.caps & c.caps, c.caps);
    EXPECT_EQ(info.caps2 & DDSCAPS2_TEXTUREMANAGE, c.caps2);
    EXPECT_EQ(info.format.dwRGBBitCount, 32u);
    EXPECT_EQ((info.format.dwFlags & DDPF_ALPHAPIXELS) != 0, c.alpha);
    EXPECT_EQ(texture.GetD3DTexture() != nullptr, c.d3dTexture);
    EXPECT_EQ(runtime::Attached(texture.GetSurface(), DDSCAPS_MIPMAP) != nullptr,
              (c.caps & DDSCAPS_MIPMAP) != 0);
}

const DWORD kSys = TEXTURE_SYSTEMMEMORY, kOff = TEXTURE_OFFSCREEN, kMip = TEXTURE_MIPMAP,
            kRt = TEXTURE_RENDERTARGET;

INSTANTIATE_TEST_SUITE_P(
    Flags, TextureSurfaceKind,
    ::testing::Values(
        SurfaceKindCase{"ManagedTexture", 0, DDSCAPS_TEXTURE, DDSCAPS2_TEXTUREMANAGE, true, true},
        SurfaceKindCase{"SystemMemory", kSys, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY, 0, true, true},
        SurfaceKindCase{"RenderTarget", kRt, DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY, 0,
                        true, true},
        SurfaceKindCase{"RenderTargetIgnoresSystemMemory", kRt | kSys,
                        DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY, 0, true, true},
        SurfaceKindCase{"Offscreen", kOff, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, 0, false, false},
        SurfaceKindCase{"OffscreenInSystemMemory", kOff | kSys, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY,
                        0, false, false},
        SurfaceKindCase{"OffscreenIgnoresMipmapAndRenderTarget", kOff | kMip | kRt,
                        DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, 0, false, false},
        SurfaceKindCase{"MipmappedTexture", kMip, DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, DDSCAPS2_TEXTUREMANAGE,
                        true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- mip levels

struct Level {
    DWORD width, height;
    D3DCOLOR colour;
};

void ExpectMipChain(IDirectDrawSurface4* top, const std::vector<Level>& levels)
{
    IDirectDrawSurface4* level = top;
    for (size_t i = 0; i < levels.size(); ++i) {
        level = runtime::Attached(level, DDSCAPS_MIPMAP);
        ASSERT_NE(level, nullptr) << "level " << i + 1;
        const runtime::SurfaceInfo info = runtime::Inspect(level);
        EXPECT_EQ(info.width, levels[i].width) << "level " << i + 1;
        EXPECT_EQ(info.height, levels[i].height) << "level " << i + 1;
        const std::vector<uint32_t> expected(levels[i].width * levels[i].height, InBgra(levels[i].colour));
        EXPECT_EQ(ReadTexels(level), expected) << "level " << i + 1;
    }
}

TEST_F(TextureDeviceTest, Mipmapped256By256FillsLevelsOf128And64And32FromBuiltLevels)
{
    desktop::AddResource("JPG", kTestImage, SolidDds(256, 256, {kBlue}));
    CTexture6 texture;
    ASSERT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kTestImage, "JPG", TEXTURE_MIPMAP, &app),
              DD_OK);
    EXPECT_EQ(texture.mipLevels, 4u);
    ExpectMipChain(texture.GetSurface(), {{128, 128, kBlue}, {64, 64, kBlue}, {32, 32, kBlue}});
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::GetAttachedSurface"), 3);
    // Each level fetched is given back: what the texture's Release calls left
    // is what a level holds once the load is over.
    std::vector<ULONG> countsAfterRelease;
    for (const runtime::Call& call : runtime::Journal()) {
        if (call.operation == "IDirectDrawSurface4::Release")
            countsAfterRelease.push_back(ULONG(call.result));
    }
    std::vector<ULONG> countsHeld;
    for (IDirectDrawSurface4* level = runtime::Attached(texture.GetSurface(), DDSCAPS_MIPMAP); level;
         level = runtime::Attached(level, DDSCAPS_MIPMAP)) {
        level->AddRef();
        countsHeld.push_back(level->Release());
    }
    EXPECT_EQ(countsAfterRelease, countsHeld);
    EXPECT_TRUE(app.lines.empty());
}

// The level loop stops once a side has come down to 1, even while the
// surface has a further level: that one is left as it is.
struct MipStopCase {
    const char* name;
    DWORD width, height;
    std::vector<Level> filled;
};
void PrintTo(const MipStopCase& c, std::ostream* out) { *out << c.name; }

class TextureMipStop : public TextureDeviceTest, public ::testing::WithParamInterface<MipStopCase> {};

TEST_P(TextureMipStop, FillsTheImagesOwnLevelsUntilASideReachesOne)
{
    const MipStopCase& c = GetParam();
    const D3DCOLOR kWhite = 0x00FFFFFF;
    desktop::AddResource("JPG", kTestImage, SolidDds(c.width, c.height, {kRed, kGreen, kBlue, kWhite}));
    CTexture6 texture;
    ASSERT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kTestImage, "JPG", TEXTURE_MIPMAP, &app),
              DD_OK);

    ExpectMipChain(texture.GetSurface(), c.filled);
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::GetAttachedSurface"), 2);
    IDirectDrawSurface4* fourth = texture.GetSurface();
    for (int level = 0; level < 3 && fourth; ++level) fourth = runtime::Attached(fourth, DDSCAPS_MIPMAP);
    ASSERT_NE(fourth, nullptr) << "the surface has a fourth level";
    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Lock", fourth), 0) << "the fourth level was filled";
    EXPECT_TRUE(app.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sides, TextureMipStop,
    ::testing::Values(MipStopCase{"HeightReachesOne", 16, 4, {{8, 2, kGreen}, {4, 1, kBlue}}},
                      MipStopCase{"WidthReachesOne", 4, 16, {{2, 8, kGreen}, {1, 4, kBlue}}},
                      MipStopCase{"FourByFourStopsAtOneByOne", 4, 4, {{2, 2, kGreen}, {1, 1, kBlue}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- restore and unload

class TextureRestore : public TextureDeviceTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TextureRestore, RefillsTheSameSurfaceWhetherOrNotItWasLost)
{
    const bool lose = GetParam();
    CTexture6 texture;
    ASSERT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kEmpty, "JPG", 0, &app), DD_OK);
    IDirectDrawSurface4* surface = texture.GetSurface();
    IDirect3DTexture2* d3dTexture = texture.GetD3DTexture();
    const std::vector<uint32_t> loaded = ReadTexels(surface);
    Scribble(surface, 0x5A);
    if (lose) runtime::LoseAllSurfaces();
    runtime::ClearJournal();

    ASSERT_EQ(texture.Restore(app.device), DD_OK);

    EXPECT_EQ(CountCalls("IDirectDrawSurface4::Restore", surface), lose ? 1 : 0);
    EXPECT_EQ(texture.GetSurface(), surface);
    EXPECT_EQ(texture.GetD3DTexture(), d3dTexture);
    EXPECT_EQ(CountCalls("IDirectDraw4::CreateSurface"), 0);
    EXPECT_EQ(ReadTexels(surface), loaded);
    EXPECT_TRUE(app.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(Loss, TextureRestore, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Lost" : "NotLost"); });

TEST_F(TextureDeviceTest, UnloadTwiceAndDestructionReleaseEachInterfaceOnce)
{
    const int objectsBefore = runtime::LiveObjects();
    {
        CTexture6 texture;
        ASSERT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kTarget01, "JPG",
                                           TEXTURE_RENDERTARGET, &app),
                  DD_OK);
        ASSERT_EQ(texture.CreateZBuffer(app.directDraw4, app.zBuffer), DD_OK);
        const void* zSurface = texture.zSurface;
        const void* surface = texture.GetSurface();
        const void* d3dTexture = texture.GetD3DTexture();
        runtime::ClearJournal();

        EXPECT_EQ(texture.Unload(), DD_OK);
        EXPECT_EQ(texture.Unload(), DD_OK);

        std::vector<std::pair<std::string, const void*>> releases;
        for (const runtime::Call& call : runtime::Journal()) {
            if (call.operation.find("::Release") != std::string::npos)
                releases.push_back({call.operation, call.object});
        }
        EXPECT_EQ(releases, (std::vector<std::pair<std::string, const void*>>{
                                {"IDirectDrawSurface4::Release", zSurface},
                                {"IDirectDrawSurface4::Release", surface},
                                {"IDirect3DTexture2::Release", d3dTexture}}));
        EXPECT_EQ(texture.GetSurface(), nullptr);
        EXPECT_EQ(texture.GetD3DTexture(), nullptr);
        EXPECT_EQ(texture.zSurface, nullptr);
        runtime::ClearJournal();
    }
    EXPECT_TRUE(runtime::Journal().empty()) << "the destructor found something left to release";
    EXPECT_EQ(runtime::LiveObjects(), objectsBefore);
}

TEST_F(TextureDeviceTest, LoadingAgainReleasesWhatTheTextureHeldBefore)
{
    const int objectsBefore = runtime::LiveObjects();
    CTexture6 texture;
    ASSERT_EQ(
        texture.LoadFromResource(app.directDraw4, app.device, kTarget01, "JPG", TEXTURE_RENDERTARGET, &app),
        DD_OK);
    ASSERT_EQ(texture.CreateZBuffer(app.directDraw4, app.zBuffer), DD_OK);
    ASSERT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kEmpty, "JPG", 0, &app), DD_OK);
    EXPECT_EQ(texture.zSurface, nullptr);
    EXPECT_EQ(texture.GetWidth(), 128u);
    texture.Unload();
    EXPECT_EQ(runtime::LiveObjects(), objectsBefore);
}

// ---------------------------------------------------------------- failures

enum class Act { kLoad, kRestore, kCreateZBuffer };

struct FailureCase {
    const char* name;
    DWORD flags;
    Act act;  // Restore and CreateZBuffer run on a texture that loaded first
    std::function<void()> arrange;
    std::vector<std::string> lines;
    HRESULT result;
};
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

std::function<void()> Fail(const char* operation, int nth, HRESULT result)
{
    return [=] { runtime::FailCall(operation, nth, result); };
}

std::vector<DDPIXELFORMAT> FormatsWithoutAlpha32()
{
    std::vector<DDPIXELFORMAT> kept;
    for (const DDPIXELFORMAT& f : runtime::DefaultTextureFormats()) {
        if (!(f.dwRGBBitCount == 32 && (f.dwFlags & DDPF_ALPHAPIXELS))) kept.push_back(f);
    }
    return kept;
}

class TextureFailure : public TextureDeviceTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    HRESULT Run(CTexture6& texture, CDX6App* sink)
    {
        const FailureCase& c = GetParam();
        if (c.act == Act::kLoad) {
            c.arrange();
            return texture.LoadFromResource(app.directDraw4, app.device, kEmpty, "JPG", c.flags, sink);
        }
        EXPECT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kEmpty, "JPG", c.flags, sink), DD_OK);
        app.lines.clear();
        c.arrange();
        if (c.act == Act::kRestore) return texture.Restore(app.device);
        return texture.CreateZBuffer(app.directDraw4, app.zBuffer);
    }
};

TEST_P(TextureFailure, LogsInnermostFirstAndReturnsTheCode)
{
    const int objectsBefore = runtime::LiveObjects();
    {
        CTexture6 texture;
        EXPECT_EQ(Run(texture, &app), GetParam().result);
        EXPECT_EQ(app.lines, GetParam().lines);
        EXPECT_EQ(LiveImages(), imagesBefore);
    }
    EXPECT_EQ(runtime::LiveObjects(), objectsBefore) << "the destructor left something behind";
}

TEST_P(TextureFailure, WithoutALogSinkFailsTheSameAndWritesNothing)
{
    CTexture6 texture;
    EXPECT_EQ(Run(texture, nullptr), GetParam().result);
    EXPECT_TRUE(app.lines.empty());
    EXPECT_EQ(LiveImages(), imagesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TextureFailure,
    ::testing::Values(
        FailureCase{"MissingResource",
                    0,
                    Act::kLoad,
                    [] { desktop::RemoveResource("JPG", kEmpty); },
                    {kDecodeLine, kLoadLine},
                    D3DERR_INITFAILED},
        FailureCase{
            "UndecodableResource",
            0,
            Act::kLoad,
            [] {
                desktop::AddResource("JPG", kEmpty, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'g'});
            },
            {kDecodeLine, kLoadLine},
            D3DERR_INITFAILED},
        FailureCase{"EnumTextureFormats",
                    0,
                    Act::kLoad,
                    Fail("IDirect3DDevice3::EnumTextureFormats", 1, DDERR_INVALIDOBJECT),
                    {"ERROR: while texture formats enumerating (CTexture6::CreateSurface)", kLoadLine},
                    DDERR_INVALIDOBJECT},
        FailureCase{"No32BitFormatWithAlpha",
                    0,
                    Act::kLoad,
                    [] { runtime::SetTextureFormats(FormatsWithoutAlpha32()); },
                    {"ERROR: can't select texture format", kLoadLine},
                    E_OUTOFMEMORY},
        FailureCase{"CreateSurface",
                    0,
                    Act::kLoad,
                    Fail("IDirectDraw4::CreateSurface", 1, DDERR_OUTOFVIDEOMEMORY),
                    {"ERROR: can't create surface (CTexture6::CreateSurface)", kLoadLine},
                    DDERR_OUTOFVIDEOMEMORY},
        FailureCase{"Lock",
                    0,
                    Act::kLoad,
                    Fail("IDirectDrawSurface4::Lock", 1, DDERR_SURFACEBUSY),
                    {kLockLine, kFillLine, kLoadLine},
                    DDERR_SURFACEBUSY},
        FailureCase{"Unlock",
                    0,
                    Act::kLoad,
                    Fail("IDirectDrawSurface4::Unlock", 1, DDERR_NOTLOCKED),
                    {"ERROR: can't unlock surface (CTexture6::FillSurface)", kFillLine, kLoadLine},
                    DDERR_NOTLOCKED},
        FailureCase{"QueryTexture2",
                    0,
                    Act::kLoad,
                    Fail("IDirectDrawSurface4::QueryInterface", 1, E_NOINTERFACE),
                    {"ERROR: can't query IDirect3DTexture2 interface (CTexture6::CreateSurface)", kLoadLine},
                    E_NOINTERFACE},
        FailureCase{"GetAttachedMipLevel",
                    TEXTURE_MIPMAP,
                    Act::kLoad,
                    Fail("IDirectDrawSurface4::GetAttachedSurface", 2, DDERR_NOTFOUND),
                    {"ERROR: can't get attached surface", kLoadLine},
                    DDERR_NOTFOUND},
        FailureCase{"LockMipLevel",
                    TEXTURE_MIPMAP,
                    Act::kLoad,
                    Fail("IDirectDrawSurface4::Lock", 3, DDERR_SURFACELOST),
                    {kLockLine, kFillLine, kLoadLine},
                    DDERR_SURFACELOST},
        FailureCase{"RestoreLostSurface",
                    0,
                    Act::kRestore,
                    [] {
                        runtime::LoseAllSurfaces();
                        runtime::FailCall("IDirectDrawSurface4::Restore", 1, DDERR_WRONGMODE);
                    },
                    {"ERROR: unable to restore surface (CTexture6::Restore)"},
                    DDERR_WRONGMODE},
        FailureCase{"RefillLock",
                    0,
                    Act::kRestore,
                    Fail("IDirectDrawSurface4::Lock", 1, DDERR_SURFACEBUSY),
                    {kLockLine, kFillLine, "ERROR: while refilling surface (CTexture6::Restore)"},
                    DDERR_SURFACEBUSY},
        FailureCase{"CreateZBufferSurface",
                    TEXTURE_RENDERTARGET,
                    Act::kCreateZBuffer,
                    Fail("IDirectDraw4::CreateSurface", 1, DDERR_OUTOFVIDEOMEMORY),
                    {"ERROR: while creating Z-Buffer surface"},
                    DDERR_OUTOFVIDEOMEMORY},
        FailureCase{"AttachZBuffer",
                    TEXTURE_RENDERTARGET,
                    Act::kCreateZBuffer,
                    Fail("IDirectDrawSurface4::AddAttachedSurface", 1, DDERR_CANNOTATTACHSURFACE),
                    {"ERROR: can't add attached surface (Z-Buffer)"},
                    DDERR_CANNOTATTACHSURFACE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextureDeviceTest, NoAcceptableFormatCreatesNoSurface)
{
    runtime::SetTextureFormats(FormatsWithoutAlpha32());
    CTexture6 texture;
    EXPECT_EQ(texture.LoadFromResource(app.directDraw4, app.device, kEmpty, "JPG", 0, &app), E_OUTOFMEMORY);
    EXPECT_EQ(texture.GetSurface(), nullptr);
    EXPECT_EQ(CountCalls("IDirectDraw4::CreateSurface"), 0);
}

// ---------------------------------------------------------------- format search

TEST(TextureFormatCallback, AcceptsTheFirst32BitRgbFormatWhoseAlphaMatchesTheWish)
{
    struct Case {
        DWORD flags, bits;
        bool wantAlpha, accepted;
    };
    const Case cases[] = {
        {DDPF_RGB | DDPF_ALPHAPIXELS, 32, true, true},
        {DDPF_RGB, 32, false, true},
        {DDPF_RGB, 32, true, false},
        {DDPF_RGB | DDPF_ALPHAPIXELS, 32, false, false},
        {DDPF_RGB | DDPF_ALPHAPIXELS, 16, true, false},
        {DDPF_RGB | DDPF_ALPHAPIXELS, 24, true, false},
        {DDPF_ALPHAPIXELS | DDPF_LUMINANCE, 32, true, false},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        DDPIXELFORMAT offered = {};
        offered.dwSize = sizeof offered;
        offered.dwFlags = cases[i].flags;
        offered.dwRGBBitCount = cases[i].bits;
        offered.dwRBitMask = 0x12345678;  // masks are not looked at, only copied
        DDPIXELFORMAT chosen = {};
        TextureFormatSearch search = {&chosen, 32, cases[i].wantAlpha, false};
        const HRESULT answer = TextureFormatCallback(&offered, &search);
        EXPECT_EQ(answer, cases[i].accepted ? D3DENUMRET_CANCEL : D3DENUMRET_OK) << "case " << i;
        EXPECT_EQ(search.found != 0, cases[i].accepted) << "case " << i;
        EXPECT_EQ(chosen.dwRBitMask, cases[i].accepted ? 0x12345678u : 0u) << "case " << i;
    }
}

}  // namespace
