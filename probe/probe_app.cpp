#include "probe/blendprobe.h"
#include "texture/devil.h"

namespace {

const WORD kTargetImage = 101;
const WORD kCheckerImage = 102;

}  // namespace

// InitScene sets the verdict before anything can fail; it starts as a
// failure here too, so that no path ever reads it unset.
CBlendProbeApp::CBlendProbeApp() : verdict(1) {}

// The textures themselves went with DeleteDeviceObjects during Run; the
// manager only drops its entries.
CBlendProbeApp::~CBlendProbeApp() {}

// The verdict is a failure until a frame has measured otherwise.
HRESULT CBlendProbeApp::InitScene()
{
    ilInit();
    ShowCursor(FALSE);
    width = 800;
    height = 600;
    bitsPerPixel = 16;
    fullscreen = false;
    verdict = 1;
    return S_OK;
}

HRESULT CBlendProbeApp::InitDeviceObjects()
{
    Log(">> Init Device Objects...");
    Log("");
    Log("-- Loading Textures");

    HRESULT hr = textures.LoadTexture("empty", directDraw4, device, kCheckerImage, 0, this);
    if (FAILED(hr)) return hr;
    hr = textures.LoadTexture("target01", directDraw4, device, kTargetImage, TEXTURE_RENDERTARGET, this);
    if (FAILED(hr)) return hr;
    // The device finds this Z-buffer whenever the texture is its render target.
    hr = textures.Get("target01")->CreateZBuffer(directDraw4, zBuffer);
    if (FAILED(hr)) return hr;

    Log("");
    Log(">> Init Device Objects...done");
    return S_OK;
}

// A texture that fails to restore reports itself; the frame goes on.
HRESULT CBlendProbeApp::RestoreDeviceObjects()
{
    textures.RestoreAll(device);
    return S_OK;
}

HRESULT CBlendProbeApp::DeleteDeviceObjects()
{
    textures.DeleteAll();
    return S_OK;
}

HRESULT CBlendProbeApp::CloseScene()
{
    ShowCursor(TRUE);
    return S_OK;
}

// Esc ends the run; the right button puts the cursor at the screen point
// given by half the back buffer's size. Every message then goes on to the
// framework's own handling.
LRESULT CBlendProbeApp::HandleMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) quitRequested = true;
    if (message == WM_RBUTTONDOWN) SetCursorPos(static_cast<int>(width / 2), static_cast<int>(height / 2));
    return CDX6App::HandleMessage(hWnd, message, wParam, lParam);
}
