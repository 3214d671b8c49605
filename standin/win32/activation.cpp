// Activation and focus. The program is active while one of its top-level
// windows is; when that changes every top-level window hears WM_ACTIVATEAPP,
// and the active window itself WM_ACTIVATE, in the order Windows sends them.
#include "standin/win32/state.h"

namespace standin::win32 {

namespace {

void SendToTopLevelWindows(UINT message, WPARAM wParam)
{
    for (HWND hWnd : TopLevelWindows())
        if (LookUpWindow(hWnd)) CallProcedure(hWnd, message, wParam, 0);
}

void MoveFocus(HWND hWnd)
{
    Desktop& desktop = TheDesktop();
    HWND previous = desktop.focusWindow;
    if (previous == hWnd) return;
    desktop.focusWindow = hWnd;
    if (previous && LookUpWindow(previous))
        CallProcedure(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd && LookUpWindow(hWnd)) CallProcedure(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

void RaiseToTop(HWND hWnd)
{
    Desktop& desktop = TheDesktop();
    if (Window* window = LookUpWindow(hWnd)) window->zOrder = desktop.nextZOrder++;
}

bool CanBeActivated(HWND hWnd)
{
    const Window* window = LookUpWindow(hWnd);
    return window && !window->parent && !window->destroying && IsWindowVisible(hWnd);
}

// The top-most visible top-level window other than the one given.
HWND NextWindowToActivate(HWND leaving)
{
    HWND best = nullptr;
    uint64_t bestZ = 0;
    for (HWND hWnd : TopLevelWindows()) {
        if (hWnd == leaving || !CanBeActivated(hWnd)) continue;
        uint64_t z = LookUpWindow(hWnd)->zOrder;
        if (z > bestZ) best = hWnd, bestZ = z;
    }
    return best;
}

void DeactivateProgram()
{
    Desktop& desktop = TheDesktop();
    HWND previous = desktop.activeWindow;
    desktop.activeWindow = nullptr;
    desktop.appActive = false;
    if (previous && LookUpWindow(previous)) CallProcedure(previous, WM_ACTIVATE, WA_INACTIVE, 0);
    SendToTopLevelWindows(WM_ACTIVATEAPP, FALSE);
    MoveFocus(nullptr);
}

}  // namespace

void ActivateWindow(HWND hWnd)
{
    Desktop& desktop = TheDesktop();
    if (desktop.activeWindow == hWnd) return;
    HWND previous = desktop.activeWindow;
    desktop.activeWindow = hWnd;
    desktop.lastActiveWindow = hWnd;
    RaiseToTop(hWnd);
    if (previous && LookUpWindow(previous))
        CallProcedure(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hWnd));
    if (!desktop.appActive) {
        desktop.appActive = true;
        SendToTopLevelWindows(WM_ACTIVATEAPP, TRUE);
    }
    if (LookUpWindow(hWnd)) CallProcedure(hWnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    if (LookUpWindow(hWnd)) MoveFocus(hWnd);
}

void DeactivateForDestroy(HWND hWnd)
{
    Desktop& desktop = TheDesktop();
    if (desktop.activeWindow != hWnd) return;
    if (HWND next = NextWindowToActivate(hWnd))
        ActivateWindow(next);
    else
        DeactivateProgram();
}

void SetProgramActive(bool active)
{
    Desktop& desktop = TheDesktop();
    if (desktop.appActive == active) return;
    if (!active) {
        DeactivateProgram();
        return;
    }
    // A program without a visible window cannot come to the foreground.
    HWND target =
        CanBeActivated(desktop.lastActiveWindow) ? desktop.lastActiveWindow : NextWindowToActivate(nullptr);
    if (target) ActivateWindow(target);
}

}  // namespace standin::win32
