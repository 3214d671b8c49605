// The mouse cursor: its show count and its position on the screen. Moving
// it over a window's client area tells that window, as a real mouse would.
#include <algorithm>

#include "standin/win32/state.h"

namespace standin::win32 {

namespace {

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// Top-most windows lie above the others; among equals the higher z-order wins.
bool Above(const Window& a, const Window& b)
{
    bool aTop = a.exStyle & WS_EX_TOPMOST;
    bool bTop = b.exStyle & WS_EX_TOPMOST;
    if (aTop != bTop) return aTop;
    return a.zOrder > b.zOrder;
}

HWND WindowAt(HWND parent, POINT point)
{
    const Window* best = nullptr;
    for (HWND hWnd : ChildrenOf(parent)) {
        const Window* window = LookUpWindow(hWnd);
        if (!(window->style & WS_VISIBLE) || !Contains(window->windowRect, point)) continue;
        if (!best || Above(*window, *best)) best = window;
    }
    if (!best) return nullptr;
    HWND deeper = WindowAt(best->handle, point);
    return deeper ? deeper : best->handle;
}

}  // namespace

POINT ClampToScreen(int x, int y)
{
    const Desktop& desktop = TheDesktop();
    return POINT{std::clamp(x, 0, std::max(desktop.screenWidth - 1, 0)),
                 std::clamp(y, 0, std::max(desktop.screenHeight - 1, 0))};
}

void MoveCursorOverWindows(POINT to)
{
    Desktop& desktop = TheDesktop();
    if (desktop.cursor.x == to.x && desktop.cursor.y == to.y) return;
    desktop.cursor = to;
    HWND under = WindowAt(nullptr, to);
    if (!under) return;
    const RECT& client = LookUpWindow(under)->clientRect;
    if (!Contains(client, to)) return;
    PostInput(under, WM_MOUSEMOVE, 0, MAKELPARAM(to.x - client.left, to.y - client.top));
}

}  // namespace standin::win32

using namespace standin::win32;

int WINAPI ShowCursor(BOOL show)
{
    Desktop& desktop = TheDesktop();
    desktop.cursorShowCount += show ? 1 : -1;
    return desktop.cursorShowCount;
}

BOOL WINAPI SetCursorPos(int x, int y)
{
    MoveCursorOverWindows(ClampToScreen(x, y));
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point) return FALSE;
    *point = TheDesktop().cursor;
    return TRUE;
}
