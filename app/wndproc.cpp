#include "app/dx6app.h"

namespace {

const char kAppProperty[] = "DX6APPPTR";

// Mouse and move messages carry two signed 16-bit coordinates.
LONG LowSigned(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
LONG HighSigned(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

CDX6App* AttachOrFind(HWND hWnd, UINT message, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        CDX6App* app = static_cast<CDX6App*>(create->lpCreateParams);
        SetPropA(hWnd, kAppProperty, app);
        return app;
    }
    return static_cast<CDX6App*>(GetPropA(hWnd, kAppProperty));
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDX6App* app = AttachOrFind(hWnd, message, lParam);
    if (app) return app->HandleMessage(hWnd, message, wParam, lParam);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT CDX6App::HandleMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_MOVE: {
            // The back buffer's size, not the window's, makes the rectangle
            // the frame is presented into.
            const LONG x = LowSigned(lParam);
            const LONG y = HighSigned(lParam);
            windowRect.left = x;
            windowRect.top = y;
            windowRect.right = x + static_cast<LONG>(width);
            windowRect.bottom = y + static_cast<LONG>(height);
            break;
        }
        case WM_CLOSE:
            // Only a request: the window goes during the teardown.
            Log("(Closing window. Probably Alt+F4)");
            quitRequested = true;
            return 0;
        case WM_ACTIVATEAPP:
            if (wParam) {
                active = true;
                Log("(Application activated)");
                if (deviceReady && fullscreen && FAILED(RestoreDevice())) {
                    errorRaised = true;
                    Log("ERROR: while device restoring");
                }
            } else {
                Log("(Application disactivated)");
                active = false;
                timerStarted = false;
            }
            return 0;
        case WM_MOUSEMOVE:
            mouseX = LowSigned(lParam);
            mouseY = HighSigned(lParam);
            break;
        default:
            break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}
