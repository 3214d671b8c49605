// The framework on Wine: a windowed application that brings up the device,
// fills one frame with a colour, lets the run loop present it, and quits.
// Exit code 0 when the device came up, exactly one frame ran, the colour
// reached the primary surface (the frame was presented) and no error was
// raised; 1 otherwise. The log goes to standard output after the run so the
// harness can tell where a failed run stopped.
#include <cstdio>

#include "app/dx6app.h"

namespace {

// An X8R8G8B8 colour unlikely to be on the screen by accident.
const DWORD kFrameColour = 0x00336699;

class CDeviceSmokeApp : public CDX6App {
public:
    int framesRun = 0;
    bool deviceReadyInFrame = false;
    bool colourPresented = false;

    HRESULT InitScene() override
    {
        fullscreen = false;
        return S_OK;
    }

    HRESULT ProcessFrame() override
    {
        ++framesRun;
        deviceReadyInFrame = deviceReady;
        quitRequested = true;

        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = kFrameColour;
        const HRESULT hr = backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        if (FAILED(hr)) std::fprintf(stderr, "device_smoke: colour fill failed: 0x%08lx\n", static_cast<unsigned long>(hr));
        return hr;
    }

    // The device still stands here, after the last frame was presented: the
    // centre of the window's rectangle on the primary surface shows it.
    HRESULT DeleteDeviceObjects() override
    {
        if (framesRun == 0) return S_OK;
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        HRESULT hr = primarySurface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr);
        if (FAILED(hr)) {
            std::fprintf(stderr, "device_smoke: primary Lock failed: 0x%08lx\n", static_cast<unsigned long>(hr));
            return hr;
        }
        const LONG x = (windowRect.left + windowRect.right) / 2;
        const LONG y = (windowRect.top + windowRect.bottom) / 2;
        if (desc.ddpfPixelFormat.dwRGBBitCount != 32) {
            std::fprintf(stderr, "device_smoke: primary has %lu bits per pixel, expected 32\n",
                         static_cast<unsigned long>(desc.ddpfPixelFormat.dwRGBBitCount));
        } else if (x < 0 || y < 0 || static_cast<DWORD>(x) >= desc.dwWidth || static_cast<DWORD>(y) >= desc.dwHeight) {
            std::fprintf(stderr, "device_smoke: window centre (%ld, %ld) is off the screen\n", static_cast<long>(x),
                         static_cast<long>(y));
        } else {
            const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
            const DWORD pixel = reinterpret_cast<const DWORD*>(row)[x] & 0x00FFFFFF;
            colourPresented = pixel == kFrameColour;
            if (!colourPresented)
                std::fprintf(stderr, "device_smoke: primary shows 0x%06lx at (%ld, %ld), expected 0x%06lx\n",
                             static_cast<unsigned long>(pixel), static_cast<long>(x), static_cast<long>(y),
                             static_cast<unsigned long>(kFrameColour));
        }
        primarySurface->Unlock(nullptr);
        return S_OK;
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CDeviceSmokeApp app;
    app.Run(hInstance);

    for (const std::string& line : app.console.lines) std::printf("%s\n", line.c_str());
    std::printf("frames run: %d, device ready in frame: %d, colour presented: %d, error raised: %d\n",
                app.framesRun, app.deviceReadyInFrame, app.colourPresented, app.errorRaised);

    const bool passed = app.framesRun == 1 && app.deviceReadyInFrame && app.colourPresented && !app.errorRaised;
    return passed ? 0 : 1;
}
