// The probe: renders one blended quad into a render-target texture and
// judges the hardware by the alpha of its first pixel.
#pragma once

#include "app/dx6app.h"
#include "texture/texmanager.h"

class CBlendProbeApp : public CDX6App {
public:
    CBlendProbeApp();
    ~CBlendProbeApp() override;

    HRESULT InitScene() override;
    HRESULT InitDeviceObjects() override;
    HRESULT RestoreDeviceObjects() override;
    HRESULT DeleteDeviceObjects() override;
    HRESULT CloseScene() override;
    HRESULT ProcessFrame() override;
    LRESULT HandleMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    HRESULT RenderToTexture(const char* name);
    HRESULT SetTextureTarget(CTexture6* texture);
    HRESULT SetBackBufferTarget();

    CTexManager textures;
    LONG verdict;

private:
    HRESULT SetRenderTargetAndViewport(IDirectDrawSurface4* surface, DWORD targetWidth, DWORD targetHeight);
    HRESULT Fail(const char* line, HRESULT hr);
    HRESULT ClearTarget(DWORD targetWidth, DWORD targetHeight);
    void SetBlendStates();
    HRESULT ReadVerdict();
};
