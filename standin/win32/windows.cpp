// Windows: creation with the messages Windows sends on the way, destruction,
// geometry, visibility, properties and text.
#include <algorithm>
#include <cstring>

#include "standin/win32/state.h"

namespace standin::win32 {

namespace {

// Frame sizes as Wine 8 measures them: a caption bar of 19 pixels with a
// 3-pixel dialog frame, a 1-pixel thin border, a 17-pixel vertical scroll bar.
constexpr LONG kCaptionHeight = 19;
constexpr LONG kDialogFrame = 3;
constexpr LONG kThinBorder = 1;
constexpr LONG kScrollBarWidth = 17;
constexpr UINT kSizeRestored = 0;

RECT NonClientInsets(DWORD style)
{
    RECT insets{};
    LONG frame = 0;
    if ((style & WS_CAPTION) == WS_CAPTION)
        frame = kDialogFrame;
    else if (style & WS_BORDER)
        frame = kThinBorder;
    insets = {frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION) insets.top += kCaptionHeight;
    if (style & WS_VSCROLL) insets.right += kScrollBarWidth;
    return insets;
}

RECT ClientFromWindow(const RECT& window, DWORD style)
{
    RECT insets = NonClientInsets(style);
    RECT client{window.left + insets.left, window.top + insets.top, window.right - insets.right,
                window.bottom - insets.bottom};
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    return client;
}

// CW_USEDEFAULT means the origin and no size for pop-up and child windows;
// an overlapped window goes to the screen's corner with three quarters of
// its size, as Wine places it.
void ApplyDefaultPlacement(DWORD style, int& x, int& y, int& width, int& height)
{
    const Desktop& desktop = TheDesktop();
    bool overlapped = !(style & (WS_CHILD | WS_POPUP));
    if (x == CW_USEDEFAULT) x = y = 0;
    if (y == CW_USEDEFAULT) y = 0;
    if (width == CW_USEDEFAULT) {
        width = overlapped ? desktop.screenWidth * 3 / 4 - x : 0;
        height = overlapped ? desktop.screenHeight * 3 / 4 - y : 0;
    }
    if (height == CW_USEDEFAULT) height = 0;
}

POINT OriginOfParentClient(HWND parent)
{
    const Window* window = LookUpWindow(parent);
    if (!window) return POINT{0, 0};
    return POINT{window->clientRect.left, window->clientRect.top};
}

Window& AddWindow(const WindowClass& windowClass, DWORD exStyle, DWORD style, HWND parent, HMENU menu,
                  HINSTANCE instance, int x, int y, int width, int height)
{
    Desktop& desktop = TheDesktop();
    uintptr_t handle = desktop.nextWindowHandle;
    desktop.nextWindowHandle += 4;
    Window& window = desktop.windows[handle];
    window.handle = reinterpret_cast<HWND>(handle);
    window.className = windowClass.name;
    window.proc = windowClass.info.lpfnWndProc;
    window.style = style & ~WS_VISIBLE;
    window.exStyle = exStyle;
    window.parent = (style & WS_CHILD) ? parent : nullptr;
    window.menu = menu;
    window.instance = instance;
    window.zOrder = desktop.nextZOrder++;
    POINT origin = OriginOfParentClient(window.parent);
    window.windowRect = {origin.x + x, origin.y + y, origin.x + x + std::max(width, 0),
                         origin.y + y + std::max(height, 0)};
    window.clientRect = ClientFromWindow(window.windowRect, style);
    return window;
}

void Show(HWND hWnd)
{
    CallProcedure(hWnd, WM_SHOWWINDOW, TRUE, 0);
    Window* window = LookUpWindow(hWnd);
    if (!window) return;
    window->style |= WS_VISIBLE;
    window->needsPaint = true;
}

// WM_MOVE carries the client area's position: on the screen for top-level
// windows, in the parent's client area for child windows.
void SendPlacement(HWND hWnd)
{
    Window* window = LookUpWindow(hWnd);
    if (!window) return;
    RECT client = window->clientRect;
    POINT origin = OriginOfParentClient(window->parent);
    CallProcedure(hWnd, WM_SIZE, kSizeRestored,
                  MAKELPARAM(client.right - client.left, client.bottom - client.top));
    if (!LookUpWindow(hWnd)) return;
    CallProcedure(hWnd, WM_MOVE, 0, MAKELPARAM(client.left - origin.x, client.top - origin.y));
}

void MarkDestroying(HWND hWnd)
{
    LookUpWindow(hWnd)->destroying = true;
    for (HWND child : ChildrenOf(hWnd)) MarkDestroying(child);
}

// WM_DESTROY reaches the window first and then its children, while all of
// them still exist.
void SendDestroy(HWND hWnd)
{
    std::vector<HWND> children = ChildrenOf(hWnd);
    CallProcedure(hWnd, WM_DESTROY, 0, 0);
    for (HWND child : children)
        if (LookUpWindow(child)) SendDestroy(child);
}

void ForgetHandle(HWND hWnd)
{
    Desktop& desktop = TheDesktop();
    if (desktop.activeWindow == hWnd) desktop.activeWindow = nullptr;
    if (desktop.focusWindow == hWnd) desktop.focusWindow = nullptr;
    if (desktop.lastActiveWindow == hWnd) desktop.lastActiveWindow = nullptr;
    RemoveQueuedMessagesOf(hWnd);
    desktop.windows.erase(reinterpret_cast<uintptr_t>(hWnd));
}

// Children are freed before their parent; WM_NCDESTROY is the last message
// a window gets.
void FreeWindow(HWND hWnd)
{
    for (HWND child : ChildrenOf(hWnd))
        if (LookUpWindow(child)) FreeWindow(child);
    CallProcedure(hWnd, WM_NCDESTROY, 0, 0);
    ForgetHandle(hWnd);
}

}  // namespace

Window* LookUpWindow(HWND hWnd)
{
    auto& windows = TheDesktop().windows;
    auto found = windows.find(reinterpret_cast<uintptr_t>(hWnd));
    return found == windows.end() ? nullptr : &found->second;
}

bool IsDescendant(HWND ancestor, HWND hWnd)
{
    const Window* window = LookUpWindow(hWnd);
    while (window && window->parent) {
        if (window->parent == ancestor) return true;
        window = LookUpWindow(window->parent);
    }
    return false;
}

std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (const auto& entry : TheDesktop().windows)
        if (entry.second.parent == parent) children.push_back(entry.second.handle);
    return children;
}

std::vector<HWND> TopLevelWindows() { return ChildrenOf(nullptr); }

}  // namespace standin::win32

using namespace standin::win32;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    const WindowClass* windowClass = FindClass(className);
    if (!windowClass) return nullptr;
    bool child = style & WS_CHILD;
    if ((child || parent) && !LookUpWindow(parent)) return nullptr;
    // Windows gives every overlapped window a caption.
    if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION;
    ApplyDefaultPlacement(style, x, y, width, height);

    Window& window = AddWindow(*windowClass, exStyle, style, parent, menu, instance, x, y, width, height);
    HWND hWnd = window.handle;
    CREATESTRUCTA create{param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                         windowName, className, exStyle};

    if (!CallProcedure(hWnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        if (LookUpWindow(hWnd)) FreeWindow(hWnd);
        return nullptr;
    }
    if (!LookUpWindow(hWnd)) return nullptr;
    // A refused creation frees the window without WM_DESTROY, as Wine does.
    if (CallProcedure(hWnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        if (LookUpWindow(hWnd)) FreeWindow(hWnd);
        return nullptr;
    }
    if (!LookUpWindow(hWnd)) return nullptr;

    // An overlapped window learns its size and position only once it is
    // shown; pop-up and child windows learn them before.
    bool overlapped = !(style & (WS_CHILD | WS_POPUP));
    if (!overlapped) SendPlacement(hWnd);
    if ((style & WS_VISIBLE) && LookUpWindow(hWnd)) {
        Show(hWnd);
        if (!child && LookUpWindow(hWnd)) ActivateWindow(hWnd);
    }
    if (overlapped) SendPlacement(hWnd);
    return LookUpWindow(hWnd) ? hWnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd)
{
    Window* window = LookUpWindow(hWnd);
    if (!window || window->destroying) return FALSE;
    DeactivateForDestroy(hWnd);
    if (!LookUpWindow(hWnd)) return TRUE;  // a procedure destroyed it meanwhile
    MarkDestroying(hWnd);
    SendDestroy(hWnd);
    if (LookUpWindow(hWnd)) FreeWindow(hWnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return LookUpWindow(hWnd) != nullptr; }

// A window is visible only while it and all its ancestors are shown.
BOOL WINAPI IsWindowVisible(HWND hWnd)
{
    const Window* window = LookUpWindow(hWnd);
    if (!window) return FALSE;
    for (; window; window = LookUpWindow(window->parent))
        if (!(window->style & WS_VISIBLE)) return FALSE;
    return TRUE;
}

namespace {

// Property names are atoms on Windows, so they compare without case; an
// integer atom stands for itself.
std::string PropertyKey(LPCSTR name)
{
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return FoldCase(name);
}

}  // namespace

BOOL WINAPI SetPropA(HWND hWnd, LPCSTR name, HANDLE data)
{
    Window* window = LookUpWindow(hWnd);
    if (!window || !name) return FALSE;
    window->props[PropertyKey(name)] = data;
    return TRUE;
}

HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR name)
{
    const Window* window = LookUpWindow(hWnd);
    if (!window || !name) return nullptr;
    auto found = window->props.find(PropertyKey(name));
    return found == window->props.end() ? nullptr : found->second;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT rect)
{
    const Window* window = LookUpWindow(hWnd);
    if (!window || !rect) return FALSE;
    *rect = {0, 0, window->clientRect.right - window->clientRect.left,
             window->clientRect.bottom - window->clientRect.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT rect)
{
    const Window* window = LookUpWindow(hWnd);
    if (!window || !rect) return FALSE;
    *rect = window->windowRect;
    return TRUE;
}

// Windows asks a window of the calling thread for its text with WM_GETTEXT.
int WINAPI GetWindowTextA(HWND hWnd, LPSTR text, int maxCount)
{
    if (!LookUpWindow(hWnd) || !text || maxCount <= 0) return 0;
    return static_cast<int>(
        SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(text)));
}
