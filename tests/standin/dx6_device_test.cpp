// Direct3D: the formats offered, devices and their states, render targets
// with their Z-buffers, scenes, viewports, Clear2 and DrawPrimitive.
#include <cstring>
#include <string>

#include "dx6_fixture.h"
#include "standin/dx6/draw.h"

namespace dx6test {
namespace {

namespace runtime = standin::runtime;

class Direct3D : public Dx6Test {
protected:
    void SetUp() override
    {
        Dx6Test::SetUp();
        CreateWindowedDevice(64, 48);
    }
    void TearDown() override
    {
        standin::dx6::SetRasterizer(nullptr);
        ReleaseAll();
        EXPECT_EQ(0, runtime::LiveObjects());
        Dx6Test::TearDown();
    }
    // A 32-bit render-target texture with a Z-buffer of its own, as the probe makes it.
    IDirectDrawSurface4* RenderTargetTexture(DWORD size, IDirectDrawSurface4** z)
    {
        IDirectDrawSurface4* texture =
            CreateTexture(size, size, DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY, 0,
                          runtime::DefaultTextureFormats()[5]);
        DDSURFACEDESC2 desc =
            Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT, DDSCAPS_ZBUFFER, size, size);
        desc.ddpfPixelFormat = runtime::DefaultZBufferFormats()[0];
        *z = Create(desc);
        EXPECT_EQ(DD_OK, texture->AddAttachedSurface(*z));
        return texture;
    }
};

struct Enumerated {
    std::vector<DDPIXELFORMAT> formats;
    size_t stopAfter = 100;
};

HRESULT CALLBACK Collect(DDPIXELFORMAT* format, void* context)
{
    auto* seen = static_cast<Enumerated*>(context);
    seen->formats.push_back(*format);
    return seen->formats.size() >= seen->stopAfter ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
}

TEST_F(Direct3D, ZBufferFormatsComeInWinesOrderUntilCancelled)
{
    Enumerated seen;
    ASSERT_EQ(D3D_OK, direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, Collect, &seen));
    struct Expected {
        DWORD flags, depth, stencil, zMask, stencilMask;
    } expected[] = {
        {DDPF_ZBUFFER, 16, 0, 0x0000FFFF, 0},
        {DDPF_ZBUFFER, 32, 0, 0x00FFFFFF, 0},
        {DDPF_ZBUFFER | DDPF_STENCILBUFFER, 32, 8, 0x00FFFFFF, 0xFF000000},
        {DDPF_ZBUFFER, 24, 0, 0x00FFFFFF, 0},
    };
    ASSERT_EQ(4u, seen.formats.size());
    for (size_t i = 0; i < 4; ++i) {
        const DDPIXELFORMAT& f = seen.formats[i];
        EXPECT_EQ(32u, f.dwSize) << i;
        EXPECT_EQ(expected[i].flags, f.dwFlags) << i;
        EXPECT_EQ(expected[i].depth, f.dwZBufferBitDepth) << i;
        EXPECT_EQ(expected[i].stencil, f.dwStencilBitDepth) << i;
        EXPECT_EQ(expected[i].zMask, f.dwZBitMask) << i;
        EXPECT_EQ(expected[i].stencilMask, f.dwStencilBitMask) << i;
    }

    Enumerated first;
    first.stopAfter = 1;
    direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, Collect, &first);
    EXPECT_EQ(1u, first.formats.size());

    runtime::SetZBufferFormats({seen.formats[2]});
    Enumerated controlled;
    direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, Collect, &controlled);
    ASSERT_EQ(1u, controlled.formats.size());
    EXPECT_EQ(8u, controlled.formats[0].dwStencilBitDepth);
    EXPECT_EQ(DDERR_INVALIDPARAMS, direct3D->EnumZBufferFormats(IID_IDirect3DHALDevice, nullptr, nullptr));
}

std::string Describe(const DDPIXELFORMAT& f)
{
    if (f.dwFlags & DDPF_FOURCC) return "fourcc";
    if (!(f.dwFlags & DDPF_RGB)) return "bump";
    char text[64];
    std::snprintf(text, sizeof(text), "%u:%08X:%08X", static_cast<unsigned>(f.dwRGBBitCount),
                  static_cast<unsigned>(f.dwRBitMask), static_cast<unsigned>(f.dwRGBAlphaBitMask));
    return text;
}

TEST_F(Direct3D, TextureFormatsComeInTheDriversOrder)
{
    Enumerated seen;
    ASSERT_EQ(D3D_OK, device->EnumTextureFormats(Collect, &seen));
    std::vector<std::string> names;
    for (const DDPIXELFORMAT& f : seen.formats) names.push_back(Describe(f));
    std::vector<std::string> expected = {
        "16:00007C00:00000000",
        "16:00007C00:00008000",
        "16:00000F00:0000F000",
        "16:0000F800:00000000",
        "32:00FF0000:00000000",
        "32:00FF0000:FF000000",
        "fourcc",
        "fourcc",
        "fourcc",
        "fourcc",
        "fourcc",
        "bump",
        "bump",
        "bump",
    };
    EXPECT_EQ(expected, names);

    // The red-first format goes just ahead of the usual 32-bit one with alpha.
    runtime::OfferRgbaTextureFormat(true);
    Enumerated withRgba;
    device->EnumTextureFormats(Collect, &withRgba);
    ASSERT_EQ(seen.formats.size() + 1, withRgba.formats.size());
    EXPECT_EQ("32:000000FF:FF000000", Describe(withRgba.formats[5]));
    EXPECT_EQ("32:00FF0000:FF000000", Describe(withRgba.formats[6]));

    Enumerated first;
    first.stopAfter = 1;
    device->EnumTextureFormats(Collect, &first);
    EXPECT_EQ(1u, first.formats.size());
    EXPECT_EQ(DDERR_INVALIDPARAMS, device->EnumTextureFormats(nullptr, nullptr));
}

TEST_F(Direct3D, CreateDeviceWantsA3DSurfaceAndAKnownDevice)
{
    IDirect3DDevice3* other = reinterpret_cast<IDirect3DDevice3*>(0x1);
    IDirectDrawSurface4* plain =
        Create(Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN, 8, 8));
    EXPECT_EQ(DDERR_INVALIDCAPS, direct3D->CreateDevice(IID_IDirect3DHALDevice, plain, &other, nullptr));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(DDERR_INVALIDCAPS, direct3D->CreateDevice(IID_IDirect3DHALDevice, primary, &other, nullptr));
    EXPECT_EQ(DDERR_INVALIDPARAMS, direct3D->CreateDevice(IID_IDirect3D3, backBuffer, &other, nullptr));
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              direct3D->CreateDevice(IID_IDirect3DHALDevice, backBuffer, &other, direct3D));
    plain->Release();
}

TEST_F(Direct3D, NewDeviceHasDirectX6Defaults)
{
    struct State {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } states[] = {
        {D3DRENDERSTATE_ZENABLE, D3DZB_TRUE},
        {D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRENDERSTATE_ZWRITEENABLE, TRUE},
        {D3DRENDERSTATE_CULLMODE, D3DCULL_CCW},
        {D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID},
        {D3DRENDERSTATE_ALPHABLENDENABLE, FALSE},
        {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
        {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO},
        {D3DRENDERSTATE_ALPHATESTENABLE, FALSE},
        {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRENDERSTATE_TEXTUREFACTOR, 0xFFFFFFFF},
        {D3DRENDERSTATE_FOGENABLE, FALSE},
        {D3DRENDERSTATE_STENCILMASK, 0xFFFFFFFF},
        {D3DRENDERSTATE_LIGHTING, 0xFFFFFFFF},
        {D3DRENDERSTATE_TEXTUREPERSPECTIVE, 0},
    };
    for (const State& s : states) {
        DWORD value = 0xDEADBEEF;
        EXPECT_EQ(D3D_OK, device->GetRenderState(s.state, &value));
        EXPECT_EQ(s.value, value) << "render state " << s.state;
    }
    struct Stage {
        DWORD stage;
        D3DTEXTURESTAGESTATETYPE state;
        DWORD value;
    } stages[] = {
        {0, D3DTSS_COLOROP, D3DTOP_MODULATE},   {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
        {1, D3DTSS_COLOROP, D3DTOP_DISABLE},    {7, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
        {1, D3DTSS_COLORARG1, D3DTA_TEXTURE},   {1, D3DTSS_COLORARG2, D3DTA_CURRENT},
        {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},   {0, D3DTSS_ALPHAARG2, D3DTA_CURRENT},
        {3, D3DTSS_TEXCOORDINDEX, 3},           {1, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP},
        {1, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP}, {0, D3DTSS_MAGFILTER, D3DTFG_POINT},
        {0, D3DTSS_MINFILTER, D3DTFN_POINT},    {0, D3DTSS_MIPFILTER, D3DTFP_NONE},
    };
    for (const Stage& s : stages) {
        DWORD value = 0xDEADBEEF;
        EXPECT_EQ(D3D_OK, device->GetTextureStageState(s.stage, s.state, &value));
        EXPECT_EQ(s.value, value) << "stage " << s.stage << " state " << s.state;
    }
}

TEST_F(Direct3D, ZEnableStartsOffWithoutAZBuffer)
{
    IDirectDrawSurface4* plainTarget =
        Create(Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 16, 16));
    IDirect3DDevice3* other = nullptr;
    ASSERT_EQ(D3D_OK, direct3D->CreateDevice(IID_IDirect3DHALDevice, plainTarget, &other, nullptr));
    DWORD value = 0xDEADBEEF;
    other->GetRenderState(D3DRENDERSTATE_ZENABLE, &value);
    EXPECT_EQ(static_cast<DWORD>(D3DZB_FALSE), value);
    other->Release();
    plainTarget->Release();
}

TEST_F(Direct3D, StatesStayAsSetAndOutOfRangeOnesArePassedOver)
{
    ASSERT_EQ(D3D_OK, device->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, 0x80908070));
    ASSERT_EQ(D3D_OK, device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE));
    DWORD value = 0;
    device->GetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, &value);
    EXPECT_EQ(0x80908070u, value);
    device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
    EXPECT_EQ(static_cast<DWORD>(D3DTOP_MODULATE), value);

    EXPECT_EQ(DDERR_INVALIDPARAMS, device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(300), 1));
    EXPECT_EQ(DDERR_INVALIDPARAMS, device->GetRenderState(D3DRENDERSTATE_ZENABLE, nullptr));
    value = 0x1234;
    EXPECT_EQ(D3D_OK, device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(300), &value));
    EXPECT_EQ(0x1234u, value);
    EXPECT_EQ(D3D_OK, device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_MODULATE));
    EXPECT_EQ(D3D_OK, device->GetTextureStageState(8, D3DTSS_COLOROP, &value));
    EXPECT_EQ(0x1234u, value);
    EXPECT_EQ(D3D_OK, device->SetTexture(8, nullptr));
}

TEST_F(Direct3D, SetRenderTargetBindsTheTargetsZBufferAndKeepsZEnable)
{
    IDirectDrawSurface4* textureZ = nullptr;
    IDirectDrawSurface4* texture = RenderTargetTexture(32, &textureZ);
    ASSERT_EQ(D3D_OK, device->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE));
    ASSERT_EQ(D3D_OK, device->SetRenderTarget(texture, 0));
    DWORD value = 0xDEADBEEF;
    device->GetRenderState(D3DRENDERSTATE_ZENABLE, &value);
    EXPECT_EQ(static_cast<DWORD>(D3DZB_FALSE), value);

    // A clear of the new target's Z reaches the texture's own Z-buffer.
    D3DVIEWPORT2 data = ViewportData(32, 32);
    ASSERT_EQ(D3D_OK, viewport->SetViewport2(&data));
    D3DRECT all{{0}, {0}, {32}, {32}};
    ASSERT_EQ(D3D_OK, viewport->Clear2(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x11223344, 0.5f, 0));
    EXPECT_EQ(0x8000u, runtime::ReadPixel(textureZ, 31, 31));
    EXPECT_EQ(0x11223344u, runtime::ReadPixel(texture, 31, 31));
    EXPECT_NE(0x8000u, runtime::ReadPixel(zBuffer, 0, 0));

    IDirectDrawSurface4* plain =
        Create(Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN, 8, 8));
    EXPECT_EQ(DDERR_INVALIDCAPS, device->SetRenderTarget(plain, 0));
    EXPECT_EQ(DDERR_INVALIDPARAMS, device->SetRenderTarget(nullptr, 0));
    ASSERT_EQ(D3D_OK, device->SetRenderTarget(backBuffer, 0));
    plain->Release();
    textureZ->Release();
    texture->Release();
}

TEST_F(Direct3D, ScenesDoNotNest)
{
    EXPECT_EQ(D3DERR_SCENE_NOT_IN_SCENE, device->EndScene());
    EXPECT_EQ(D3D_OK, device->BeginScene());
    EXPECT_EQ(D3DERR_SCENE_IN_SCENE, device->BeginScene());
    EXPECT_EQ(D3D_OK, device->EndScene());
    EXPECT_EQ(D3DERR_SCENE_NOT_IN_SCENE, device->EndScene());
}

TEST_F(Direct3D, ViewportNeedsADeviceAndMustFitItsTarget)
{
    IDirect3DViewport3* loose = nullptr;
    ASSERT_EQ(D3D_OK, direct3D->CreateViewport(&loose, nullptr));
    D3DVIEWPORT2 data = ViewportData(64, 48);
    EXPECT_EQ(D3DERR_VIEWPORTHASNODEVICE, loose->SetViewport2(&data));
    D3DRECT all{{0}, {0}, {64}, {48}};
    EXPECT_EQ(D3DERR_VIEWPORTHASNODEVICE, loose->Clear2(1, &all, D3DCLEAR_TARGET, 0, 1.0f, 0));
    EXPECT_EQ(DDERR_INVALIDPARAMS, device->SetCurrentViewport(loose));

    ASSERT_EQ(D3D_OK, device->AddViewport(loose));
    EXPECT_EQ(DDERR_INVALIDPARAMS, device->AddViewport(loose));
    struct Case {
        const char* name;
        DWORD x, y, width, height, size;
        HRESULT result;
    } cases[] = {
        {"the whole target", 0, 0, 64, 48, 44, D3D_OK},
        {"a part", 10, 8, 20, 20, 44, D3D_OK},
        {"too wide", 0, 0, 65, 48, 44, DDERR_INVALIDPARAMS},
        {"shifted past the edge", 1, 0, 64, 48, 44, DDERR_INVALIDPARAMS},
        {"too tall", 0, 40, 64, 9, 44, DDERR_INVALIDPARAMS},
        {"a wrong size", 0, 0, 64, 48, 40, DDERR_INVALIDPARAMS},
    };
    for (const Case& c : cases) {
        D3DVIEWPORT2 v = ViewportData(c.width, c.height);
        v.dwX = c.x;
        v.dwY = c.y;
        v.dwSize = c.size;
        EXPECT_EQ(c.result, loose->SetViewport2(&v)) << c.name;
    }
    EXPECT_EQ(D3D_OK, device->SetCurrentViewport(loose));
    loose->Release();
}

TEST_F(Direct3D, Clear2FillsTheRectanglesWithinTheViewport)
{
    D3DVIEWPORT2 part = ViewportData(20, 10);
    part.dwX = 10;
    part.dwY = 5;
    ASSERT_EQ(D3D_OK, viewport->SetViewport2(&part));
    D3DRECT all{{0}, {0}, {64}, {48}};
    ASSERT_EQ(D3D_OK, viewport->Clear2(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0));
    D3DRECT rects[] = {{{0}, {0}, {12}, {7}}, {{25}, {12}, {64}, {48}}};
    ASSERT_EQ(D3D_OK, viewport->Clear2(2, rects, D3DCLEAR_TARGET, 0x00336699, 0.0f, 0));

    // Inside both the viewport and a rectangle.
    EXPECT_EQ(0x00336699u, runtime::ReadPixel(backBuffer, 10, 5));
    EXPECT_EQ(0x00336699u, runtime::ReadPixel(backBuffer, 11, 6));
    EXPECT_EQ(0x00336699u, runtime::ReadPixel(backBuffer, 29, 14));
    // Inside the viewport, outside the rectangles; and outside the viewport.
    EXPECT_EQ(0x00000000u, runtime::ReadPixel(backBuffer, 12, 6));
    EXPECT_EQ(0x00000000u, runtime::ReadPixel(backBuffer, 24, 14));
    EXPECT_NE(0x00336699u, runtime::ReadPixel(backBuffer, 30, 14));
    EXPECT_NE(0x00336699u, runtime::ReadPixel(backBuffer, 9, 5));
    EXPECT_EQ(0xFFFFu, runtime::ReadPixel(zBuffer, 15, 10));  // untouched by the target-only clear
}

TEST_F(Direct3D, ClearingAMissingZBufferIsAnInvalidCall)
{
    IDirectDrawSurface4* plainTarget =
        Create(Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 64, 48));
    ASSERT_EQ(D3D_OK, device->SetRenderTarget(plainTarget, 0));
    D3DRECT all{{0}, {0}, {64}, {48}};
    EXPECT_EQ(D3DERR_INVALIDCALL, viewport->Clear2(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
    EXPECT_EQ(D3D_OK, viewport->Clear2(1, &all, D3DCLEAR_TARGET, 0x00010203, 1.0f, 0));
    EXPECT_EQ(0x00010203u, runtime::ReadPixel(plainTarget, 63, 47));
    EXPECT_EQ(D3D_OK, viewport->Clear2(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0));
    device->SetRenderTarget(backBuffer, 0);
    plainTarget->Release();
}

// The probe's vertex block: four vertices of x, y, z, rhw, diffuse, tu0, tv0, tu1, tv1.
struct ProbeVertex {
    float x, y, z, rhw;
    DWORD diffuse;
    float tu0, tv0, tu1, tv1;
};

TEST_F(Direct3D, DrawPrimitiveValidatesItsArguments)
{
    ProbeVertex quad[4] = {};
    const DWORD fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2;
    struct Case {
        const char* name;
        D3DPRIMITIVETYPE type;
        DWORD fvf;
        void* vertices;
        DWORD count;
        HRESULT result;
    } cases[] = {
        {"type 0", static_cast<D3DPRIMITIVETYPE>(0), fvf, quad, 4, D3DERR_INVALIDPRIMITIVETYPE},
        {"type 7", static_cast<D3DPRIMITIVETYPE>(7), fvf, quad, 4, D3DERR_INVALIDPRIMITIVETYPE},
        {"no position", D3DPT_TRIANGLESTRIP, D3DFVF_DIFFUSE, quad, 4, D3DERR_INVALIDVERTEXFORMAT},
        {"no vertices", D3DPT_TRIANGLESTRIP, fvf, nullptr, 4, DDERR_INVALIDPARAMS},
        {"no vertex at all", D3DPT_TRIANGLESTRIP, fvf, quad, 0, D3D_OK},
        {"too few for a triangle", D3DPT_TRIANGLESTRIP, fvf, quad, 2, D3D_OK},
        {"one triangle", D3DPT_TRIANGLELIST, fvf, quad, 3, D3D_OK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, device->DrawPrimitive(c.type, c.fvf, c.vertices, c.count, D3DDP_WAIT)) << c.name;
    }
    // Only the triangle made a primitive; nothing else was drawn.
    ASSERT_EQ(1u, runtime::Draws().size());
    EXPECT_EQ(D3DPT_TRIANGLELIST, runtime::Draws()[0].type);
    EXPECT_EQ(3 * sizeof(ProbeVertex), runtime::Draws()[0].vertices.size());
    EXPECT_FALSE(runtime::Draws()[0].inScene);
}

TEST_F(Direct3D, DrawPrimitiveRecordsTheCallWithTheDevicesState)
{
    IDirectDrawSurface4* textureZ = nullptr;
    IDirectDrawSurface4* target = RenderTargetTexture(16, &textureZ);
    IDirectDrawSurface4* picture =
        CreateTexture(8, 8, DDSCAPS_TEXTURE, DDSCAPS2_TEXTUREMANAGE, runtime::DefaultTextureFormats()[5]);
    IDirect3DTexture2* d3dTexture = nullptr;
    ASSERT_EQ(S_OK, picture->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&d3dTexture)));

    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);
    device->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, 0x80908070);
    ASSERT_EQ(D3D_OK, device->SetRenderTarget(target, 0));
    D3DVIEWPORT2 data = ViewportData(16, 16);
    ASSERT_EQ(D3D_OK, viewport->SetViewport2(&data));
    ASSERT_EQ(D3D_OK, device->SetTexture(0, d3dTexture));
    ASSERT_EQ(D3D_OK, device->SetTexture(1, d3dTexture));

    ProbeVertex quad[4] = {{0, 16, 0, 1, 0xFFFFDDAA, 0, 1, 0, 1},
                           {0, 0, 0, 1, 0x80FF80DD, 0, 0, 0, 0},
                           {16, 16, 0, 1, 0xFFFFDDAA, 1, 1, 1, 1},
                           {16, 0, 0, 1, 0x80FF80DD, 1, 0, 1, 0}};
    ASSERT_EQ(D3D_OK, device->BeginScene());
    ASSERT_EQ(D3D_OK, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0x244, quad, 4, D3DDP_WAIT));
    // The same block read as 32-byte vertices without colour.
    ASSERT_EQ(D3D_OK, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0x204, quad, 4, D3DDP_WAIT));
    quad[1].diffuse = 0;  // the record keeps its own copy
    ASSERT_EQ(D3D_OK, device->EndScene());

    const std::vector<runtime::DrawRecord>& draws = runtime::Draws();
    ASSERT_EQ(2u, draws.size());
    const runtime::DrawRecord& first = draws[0];
    EXPECT_EQ(device, first.device);
    EXPECT_EQ(D3DPT_TRIANGLESTRIP, first.type);
    EXPECT_EQ(0x244u, first.fvf);
    ASSERT_EQ(144u, first.vertices.size());
    DWORD diffuse = 0;
    std::memcpy(&diffuse, first.vertices.data() + 36 + 16, 4);
    EXPECT_EQ(0x80FF80DDu, diffuse);
    EXPECT_EQ(4u, first.vertexCount);
    EXPECT_EQ(static_cast<DWORD>(D3DDP_WAIT), first.flags);
    EXPECT_TRUE(first.inScene);
    EXPECT_EQ(target, first.renderTarget);
    EXPECT_EQ(textureZ, first.zBuffer);
    EXPECT_EQ(16u, first.viewport.dwWidth);
    EXPECT_EQ(0x80908070u, first.renderStates[D3DRENDERSTATE_TEXTUREFACTOR]);
    EXPECT_EQ(static_cast<DWORD>(D3DTOP_BLENDFACTORALPHA), first.stageStates[0][D3DTSS_COLOROP]);
    EXPECT_EQ(d3dTexture, first.textures[0]);
    EXPECT_EQ(d3dTexture, first.textures[1]);
    EXPECT_EQ(nullptr, first.textures[2]);
    EXPECT_EQ(128u, draws[1].vertices.size());

    device->SetTexture(0, nullptr);
    device->SetTexture(1, nullptr);
    device->SetRenderTarget(backBuffer, 0);
    d3dTexture->Release();
    picture->Release();
    textureZ->Release();
    target->Release();
}

TEST_F(Direct3D, RasterizerGetsTheMemoryItDrawsIntoAndSamples)
{
    IDirectDrawSurface4* picture = CreateTexture(8, 8, DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX,
                                                 DDSCAPS2_TEXTUREMANAGE, runtime::DefaultTextureFormats()[5]);
    IDirect3DTexture2* d3dTexture = nullptr;
    ASSERT_EQ(S_OK, picture->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&d3dTexture)));
    ASSERT_EQ(D3D_OK, device->SetTexture(0, d3dTexture));

    standin::dx6::DrawTarget seen;
    int calls = 0;
    standin::dx6::SetRasterizer([&](const runtime::DrawRecord&, const standin::dx6::DrawTarget& target) {
        seen = target;
        ++calls;
        // A rasterizer writes through the pitch it is given.
        seen.color.bits[2 * target.color.pitch] = 0x5A;
        return D3DERR_INVALIDPRIMITIVETYPE;
    });
    ProbeVertex quad[3] = {};
    // Its answer is the call's, and the call is on record.
    EXPECT_EQ(D3DERR_INVALIDPRIMITIVETYPE, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0x244, quad, 3, 0));
    EXPECT_EQ(1u, runtime::Draws().size());
    EXPECT_EQ(1, calls);
    EXPECT_EQ(64u, seen.color.width);
    EXPECT_EQ(runtime::Inspect(backBuffer).pitch, seen.color.pitch);
    EXPECT_EQ(0x5Au, runtime::ReadPixel(backBuffer, 0, 2) & 0xFF);
    EXPECT_TRUE(seen.hasDepth);
    EXPECT_EQ(16u, seen.depth.format.dwZBufferBitDepth);
    ASSERT_EQ(4u, seen.textures[0].size());  // 8, 4, 2, 1
    EXPECT_EQ(1u, seen.textures[0][3].width);
    EXPECT_TRUE(seen.textures[1].empty());

    device->SetTexture(0, nullptr);
    d3dTexture->Release();
    picture->Release();
}

}  // namespace
}  // namespace dx6test
