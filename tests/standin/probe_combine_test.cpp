// The stage operations and blend factors the probe relies on, and a few
// more, through the stand-in device as a program uses it: states set with
// SetTextureStageState and SetRenderState, a quad drawn with DrawPrimitive
// over a cleared render-target texture, one pixel read back. Each expected
// pixel is worked out by hand next to its case.
#include <cstring>
#include <ostream>

#include "tests/standin/dx6_fixture.h"

namespace probetest {
namespace {

namespace runtime = standin::runtime;

struct Stage {
    DWORD colorOp, colorArg1, colorArg2;
    DWORD alphaOp, alphaArg1, alphaArg2;
};

const Stage kDisabled = {D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT,
                         D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT};
const Stage kTexture = {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                        D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE};
const Stage kDiffuse = {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                        D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE};

Stage Both(DWORD op, DWORD arg1, DWORD arg2) { return {op, arg1, arg2, op, arg1, arg2}; }

struct CombineCase {
    const char* id;
    Stage stage0, stage1;
    D3DCOLOR texel, diffuse, factor;
    DWORD srcBlend, destBlend;  // 0: alpha blending off
    D3DCOLOR destination;       // what the target is cleared to
    D3DCOLOR expected;
};

// Channels as bytes over 255; results round to the nearest byte.
const CombineCase kCases[] = {
    {"SelectArg1", kTexture, kDisabled, 0x80402010, 0x11223344, 0, 0, 0, 0, 0x80402010},
    {"SelectArg2", kDiffuse, kDisabled, 0x80402010, 0x40C0A060, 0, 0, 0, 0, 0x40C0A060},
    // a 255*128, r 128*255, g 64*128 = 32.1, b 32*64 = 8.03 (each /255)
    {"Modulate", Both(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE), kDisabled, 0xFF804020, 0x80FF8040, 0, 0,
     0, 0, 0x80802008},
    // 2 * t * d: a 2*64*255 = 128, r 2*64*128 = 64.25, g 2*64*192 = 96.4, b 128
    {"Modulate2x", Both(D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE), kDisabled, 0x40404040, 0xFF80C0FF,
     0, 0, 0, 0, 0x80406080},
    // r 0xF0 + 0x40 saturates
    {"Add", Both(D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE), kDisabled, 0x10F03040, 0x20406080, 0, 0, 0, 0,
     0x30FF90C0},
    // b 0x40 - 0x80 stops at 0
    {"Subtract", Both(D3DTOP_SUBTRACT, D3DTA_TEXTURE, D3DTA_DIFFUSE), kDisabled, 0x80A06040, 0x20306080, 0, 0,
     0, 0, 0x60700000},
    {"Complement", Both(D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE), kDisabled,
     0x20406080, 0, 0, 0, 0, 0, 0xDFBF9F7F},
    {"AlphaReplicate",
     {D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1,
      D3DTA_TEXTURE, D3DTA_DIFFUSE},
     kDisabled,
     0x60102030,
     0,
     0,
     0,
     0,
     0,
     0x60606060},
    // The probe's stage 0: colour texture first, alpha diffuse first, by the
    // factor's alpha fa = 64/255:
    //   r 255 * fa = 64, b 255 * (1 - fa) = 191, a 0 * fa + 255 * (1 - fa) = 191
    {"BlendFactorAlphaTextureFirst",
     {D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_BLENDFACTORALPHA, D3DTA_DIFFUSE,
      D3DTA_TEXTURE},
     kDisabled,
     0xFFFF0000,
     0x000000FF,
     0x40000000,
     0,
     0,
     0,
     0xBF4000BF},
    // The same with the arguments the other way round.
    {"BlendFactorAlphaDiffuseFirst",
     {D3DTOP_BLENDFACTORALPHA, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE,
      D3DTA_DIFFUSE},
     kDisabled,
     0xFFFF0000,
     0x000000FF,
     0x40000000,
     0,
     0,
     0,
     0x40BF0040},
    // The probe's stage 1: current times factor, the factor first for the alpha.
    //   a 255*128, r 128*255, g 255*128, b 64*0 (each /255)
    {"ModulateCurrentByFactor",
     kTexture,
     {D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TFACTOR, D3DTOP_MODULATE, D3DTA_TFACTOR, D3DTA_CURRENT},
     0xFF80FF40,
     0,
     0x80FF8000,
     0,
     0,
     0,
     0x80808000},
    // The probe's first draw: src * As + dst * (1 - As), As = 64/255,
    // Ad = 128/255:
    //   r 255 * As = 64, b 255 * (1 - As) = 191,
    //   a (As * As + Ad * (1 - As)) * 255 = 111.9
    {"SrcAlphaInvSrcAlpha", kDiffuse, kDisabled, 0, 0x40FF0000, 0, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA,
     0x800000FF, 0x704000BF},
    // The probe's second draw: src * Ad + dst * (1 - Ad):
    //   r 255 * Ad = 128, b 255 * (1 - Ad) = 127,
    //   a (As * Ad + Ad * (1 - Ad)) * 255 = 95.9
    {"DestAlphaInvDestAlpha", kDiffuse, kDisabled, 0, 0x40FF0000, 0, D3DBLEND_DESTALPHA,
     D3DBLEND_INVDESTALPHA, 0x800000FF, 0x6080007F},
    {"OneOne", kDiffuse, kDisabled, 0, 0x40402010, 0, D3DBLEND_ONE, D3DBLEND_ONE, 0x80201008, 0xC0603018},
    // src * dst: a 255*128, r 128*255, g 128*64 = 32.1, b 128*0 (each /255)
    {"DestColorZero", kDiffuse, kDisabled, 0, 0xFF808080, 0, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, 0x80FF4000,
     0x80802000},
};

void PrintTo(const CombineCase& c, std::ostream* out) { *out << c.id; }

DDPIXELFORMAT Argb8888()
{
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
    format.dwRGBBitCount = 32;
    format.dwRBitMask = 0x00FF0000;
    format.dwGBitMask = 0x0000FF00;
    format.dwBBitMask = 0x000000FF;
    format.dwRGBAlphaBitMask = 0xFF000000;
    return format;
}

void SetStage(IDirect3DDevice3* device, DWORD stage, const Stage& s)
{
    device->SetTextureStageState(stage, D3DTSS_COLOROP, s.colorOp);
    device->SetTextureStageState(stage, D3DTSS_COLORARG1, s.colorArg1);
    device->SetTextureStageState(stage, D3DTSS_COLORARG2, s.colorArg2);
    device->SetTextureStageState(stage, D3DTSS_ALPHAOP, s.alphaOp);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, s.alphaArg1);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, s.alphaArg2);
}

// An 8 x 8 render-target texture with alpha, a 2 x 2 texture of one texel
// colour on stage 0, the depth test off.
class CombineTest : public dx6test::Dx6Test, public ::testing::WithParamInterface<CombineCase> {
protected:
    static constexpr DWORD kSide = 8;

    void SetUp() override
    {
        Dx6Test::SetUp();
        CreateWindowedDevice(kSide, kSide);
        target = CreateTexture(kSide, kSide, DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE, 0, Argb8888());
        texture = CreateTexture(2, 2, DDSCAPS_TEXTURE, 0, Argb8888());
        ASSERT_NE(target, nullptr);
        ASSERT_NE(texture, nullptr);
        ASSERT_EQ(S_OK, texture->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&texture2)));
        ASSERT_EQ(D3D_OK, device->SetRenderTarget(target, 0));
        D3DVIEWPORT2 data = dx6test::ViewportData(kSide, kSide);
        ASSERT_EQ(D3D_OK, viewport->SetViewport2(&data));
        ASSERT_EQ(D3D_OK, device->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE));
    }

    void TearDown() override
    {
        if (texture2) texture2->Release();
        if (texture) texture->Release();
        if (target) target->Release();
        ReleaseAll();
        Dx6Test::TearDown();
    }

    void FillTexture(D3DCOLOR texel)
    {
        DDSURFACEDESC2 desc = dx6test::LockDesc();
        ASSERT_EQ(DD_OK, texture->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        for (DWORD y = 0; y < 2; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
            row[0] = row[1] = texel;
        }
        ASSERT_EQ(DD_OK, texture->Unlock(nullptr));
    }

    // A strip over the whole target, in the probe's vertex order, with one
    // diffuse colour and the texture mapped once.
    void DrawQuad(D3DCOLOR diffuse)
    {
        struct Vertex {
            float x, y, z, rhw;
            DWORD diffuse;
            float u, v;
        };
        const float side = static_cast<float>(kSide);
        Vertex quad[4] = {{0, side, 0, 1, diffuse, 0, 1},
                          {0, 0, 0, 1, diffuse, 0, 0},
                          {side, side, 0, 1, diffuse, 1, 1},
                          {side, 0, 0, 1, diffuse, 1, 0}};
        ASSERT_EQ(D3D_OK, device->BeginScene());
        ASSERT_EQ(D3D_OK,
                  device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                                        quad, 4, D3DDP_WAIT));
        ASSERT_EQ(D3D_OK, device->EndScene());
    }

    IDirectDrawSurface4* target = nullptr;
    IDirectDrawSurface4* texture = nullptr;
    IDirect3DTexture2* texture2 = nullptr;
};

TEST_P(CombineTest, PixelIsTheHandComputedValue)
{
    const CombineCase& c = GetParam();
    FillTexture(c.texel);
    ASSERT_EQ(D3D_OK, device->SetTexture(0, texture2));
    SetStage(device, 0, c.stage0);
    SetStage(device, 1, c.stage1);
    ASSERT_EQ(D3D_OK, device->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, c.factor));
    ASSERT_EQ(D3D_OK, device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, c.srcBlend != 0));
    if (c.srcBlend != 0) {
        ASSERT_EQ(D3D_OK, device->SetRenderState(D3DRENDERSTATE_SRCBLEND, c.srcBlend));
        ASSERT_EQ(D3D_OK, device->SetRenderState(D3DRENDERSTATE_DESTBLEND, c.destBlend));
    }
    D3DRECT whole = {0, 0, static_cast<LONG>(kSide), static_cast<LONG>(kSide)};
    ASSERT_EQ(D3D_OK, viewport->Clear2(1, &whole, D3DCLEAR_TARGET, c.destination, 1.0f, 0));

    DrawQuad(c.diffuse);

    EXPECT_EQ(runtime::ReadPixel(target, 3, 3), c.expected)
        << std::hex << "got 0x" << runtime::ReadPixel(target, 3, 3) << ", expected 0x" << c.expected;
}

INSTANTIATE_TEST_SUITE_P(StagesAndBlends, CombineTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CombineCase>& info) { return info.param.id; });

}  // namespace
}  // namespace probetest
