#include <cstring>

#include "device/viewport.h"
#include "probe/blendprobe.h"

namespace {

// The first draw's vertices: position, diffuse and two coordinate sets.
struct ProbeVertex {
    float x, y, z, rhw;
    DWORD diffuse;
    float tu0, tv0, tu1, tv1;
};
static_assert(sizeof(ProbeVertex) == 36, "the vertex block is read as 36-byte vertices");

const DWORD kFirstDrawFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2;
// The second draw reads the same block as 32-byte vertices without colour.
const DWORD kSecondDrawFormat = D3DFVF_XYZRHW | D3DFVF_TEX2;
const DWORD kTextureFactor = 0x80908070;
const DWORD kBottomColour = 0xFFFFDDAA;
const DWORD kTopColour = 0x80FF80DD;

// A strip of bottom-left, top-left, bottom-right, top-right covering the target once.
void FillQuad(ProbeVertex (&quad)[4], float w, float h)
{
    quad[0] = {0.0f, h, 0.0f, 1.0f, kBottomColour, 0.0f, 1.0f, 0.0f, 1.0f};
    quad[1] = {0.0f, 0.0f, 0.0f, 1.0f, kTopColour, 0.0f, 0.0f, 0.0f, 0.0f};
    quad[2] = {w, h, 0.0f, 1.0f, kBottomColour, 1.0f, 1.0f, 1.0f, 1.0f};
    quad[3] = {w, 0.0f, 0.0f, 1.0f, kTopColour, 1.0f, 0.0f, 1.0f, 0.0f};
}

struct StageState {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE state;
    DWORD value;
};

// Stage 0 mixes texture and diffuse colour by the factor's alpha, and diffuse
// and texture alpha in the reverse order; stage 1 multiplies by the factor.
const StageState kStageStates[] = {
    {0, D3DTSS_TEXCOORDINDEX, 0},
    {1, D3DTSS_TEXCOORDINDEX, 1},
    {0, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA},
    {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_ALPHAOP, D3DTOP_BLENDFACTORALPHA},
    {0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE},
    {0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE},
    {1, D3DTSS_COLOROP, D3DTOP_MODULATE},
    {1, D3DTSS_COLORARG1, D3DTA_CURRENT},
    {1, D3DTSS_COLORARG2, D3DTA_TFACTOR},
    {1, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
    {1, D3DTSS_ALPHAARG1, D3DTA_TFACTOR},
    {1, D3DTSS_ALPHAARG2, D3DTA_CURRENT},
};


}  // namespace

HRESULT CBlendProbeApp::Fail(const char* line, HRESULT hr)
{
    Log(line);
    errorRaised = true;
    return hr;
}

HRESULT CBlendProbeApp::ProcessFrame()
{
    HRESULT hr = RenderToTexture("target01");
    if (FAILED(hr)) return hr;

    hr = SetBackBufferTarget();
    if (FAILED(hr)) return Fail("ERROR: while setting back buffer target", hr);

    hr = ClearTarget(width, height);
    if (FAILED(hr)) return hr;

    hr = device->BeginScene();
    if (FAILED(hr)) return Fail("ERROR: can't start scene drawing", hr);

    hr = ReadVerdict();
    if (FAILED(hr)) return hr;

    hr = device->EndScene();
    if (FAILED(hr)) return Fail("ERROR: can't end scene redrawing", hr);

    quitRequested = true;
    return S_OK;
}

// The alpha byte of the first pixel decides: the top byte of a little-endian
// 32-bit ARGB pixel. Nothing else of the surface is looked at.
HRESULT CBlendProbeApp::ReadVerdict()
{
    IDirectDrawSurface4* target = textures.Get("target01")->GetSurface();
    DDSURFACEDESC2 lockDesc;
    std::memset(&lockDesc, 0, sizeof(lockDesc));
    lockDesc.dwSize = sizeof(lockDesc);
    HRESULT hr = target->Lock(nullptr, &lockDesc, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) return Fail("ERROR: can't lock texture", hr);

    const BYTE alpha = static_cast<const BYTE*>(lockDesc.lpSurface)[3];
    verdict = (alpha > 0x20 && alpha < 0x28) ? 0 : 1;

    hr = target->Unlock(nullptr);
    if (FAILED(hr)) return Fail("ERROR: can't unlock texture", hr);
    return S_OK;
}

HRESULT CBlendProbeApp::RenderToTexture(const char* name)
{
    for (const StageState& s : kStageStates) device->SetTextureStageState(s.stage, s.state, s.value);
    SetBlendStates();

    CTexture6* target = textures.Get(name);
    HRESULT hr = SetTextureTarget(target);
    if (FAILED(hr)) return Fail("ERROR: while setting texture target", hr);

    const DWORD w = target->GetWidth();
    const DWORD h = target->GetHeight();
    hr = ClearTarget(w, h);
    if (FAILED(hr)) return hr;

    hr = device->BeginScene();
    if (FAILED(hr)) return Fail("ERROR: can't start scene drawing", hr);

    ProbeVertex quad[4];
    FillQuad(quad, static_cast<float>(w), static_cast<float>(h));
    IDirect3DTexture2* checker = textures.Get("empty")->GetD3DTexture();
    device->SetTexture(0, checker);
    device->SetTexture(1, checker);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kFirstDrawFormat, quad, 4, D3DDP_WAIT);
    // The second draw blends by the destination's alpha.
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVDESTALPHA);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_DESTALPHA);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kSecondDrawFormat, quad, 4, D3DDP_WAIT);

    hr = device->EndScene();
    if (FAILED(hr)) return Fail("ERROR: can't end scene redrawing", hr);
    return S_OK;
}

// Source over destination by the source alpha, with the factor the stages read.
void CBlendProbeApp::SetBlendStates()
{
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, kTextureFactor);
}

// Colour to transparent black, depth to the far plane.
HRESULT CBlendProbeApp::ClearTarget(DWORD targetWidth, DWORD targetHeight)
{
    D3DRECT whole = {};
    whole.x2 = static_cast<LONG>(targetWidth);
    whole.y2 = static_cast<LONG>(targetHeight);
    HRESULT hr = viewport->Clear2(1, &whole, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    if (FAILED(hr)) return Fail("ERROR: can't clear viewport", hr);
    return S_OK;
}

HRESULT CBlendProbeApp::SetTextureTarget(CTexture6* texture)
{
    return SetRenderTargetAndViewport(texture->GetSurface(), texture->GetWidth(), texture->GetHeight());
}

HRESULT CBlendProbeApp::SetBackBufferTarget() { return SetRenderTargetAndViewport(backBuffer, width, height); }

HRESULT CBlendProbeApp::SetRenderTargetAndViewport(IDirectDrawSurface4* surface, DWORD targetWidth,
                                                   DWORD targetHeight)
{
    D3DVIEWPORT2 data = WholeTargetViewport(targetWidth, targetHeight);
    HRESULT hr = device->SetRenderTarget(surface, 0);
    if (FAILED(hr)) return Fail("ERROR: can't set rendertarget", hr);
    hr = viewport->SetViewport2(&data);
    if (FAILED(hr)) return Fail("ERROR: can't set viewport (Viewport)", hr);
    return S_OK;
}
