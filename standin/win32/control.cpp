// The test control of the desktop: reset, scripted input and time, and
// inspection of what the program made.
#include "standin/control/desktop.h"
#include "standin/win32/state.h"

namespace standin::win32 {

namespace {

Desktop& Fresh()
{
    static Desktop desktop;
    return desktop;
}

// Scan codes of the keys tests press, so that lParam looks like a real key's.
UINT ScanCodeOf(UINT virtualKey)
{
    switch (virtualKey) {
        case VK_ESCAPE:
            return 0x01;
        case VK_RETURN:
            return 0x1C;
        case VK_SPACE:
            return 0x39;
        case VK_F4:
            return 0x3E;
        default:
            return 0;
    }
}

POINT ClientToScreen(HWND hWnd, int clientX, int clientY)
{
    const Window* window = LookUpWindow(hWnd);
    return ClampToScreen(window->clientRect.left + clientX, window->clientRect.top + clientY);
}

LPARAM ClientPosition(HWND hWnd, POINT screen)
{
    const Window* window = LookUpWindow(hWnd);
    return MAKELPARAM(screen.x - window->clientRect.left, screen.y - window->clientRect.top);
}

}  // namespace

Desktop& TheDesktop()
{
    static bool started = false;
    if (!started) {
        started = true;
        RegisterPredefinedClasses();
    }
    return Fresh();
}

}  // namespace standin::win32

namespace standin::desktop {

using namespace standin::win32;

void Reset()
{
    Fresh() = Desktop{};
    ResetResources();
    RegisterPredefinedClasses();
}

void SetScreenSize(int width, int height)
{
    Desktop& desktop = TheDesktop();
    desktop.screenWidth = width;
    desktop.screenHeight = height;
    desktop.cursor = ClampToScreen(desktop.cursor.x, desktop.cursor.y);
}

void PressKey(HWND hWnd, UINT virtualKey)
{
    LPARAM down = 1 | (static_cast<LPARAM>(ScanCodeOf(virtualKey)) << 16);
    LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
    PostInput(hWnd, WM_KEYDOWN, virtualKey, down);
    PostInput(hWnd, WM_KEYUP, virtualKey, up);
}

void PressCloseCommand(HWND hWnd)
{
    if (!LookUpWindow(hWnd)) return;  // never a thread message
    PostMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void MoveMouse(HWND hWnd, int clientX, int clientY)
{
    if (!LookUpWindow(hWnd)) return;
    POINT screen = ClientToScreen(hWnd, clientX, clientY);
    TheDesktop().cursor = screen;
    PostInput(hWnd, WM_MOUSEMOVE, 0, ClientPosition(hWnd, screen));
}

void PressRightButton(HWND hWnd, int clientX, int clientY)
{
    constexpr WPARAM kRightButtonHeld = 0x0002;
    if (!LookUpWindow(hWnd)) return;
    POINT screen = ClientToScreen(hWnd, clientX, clientY);
    TheDesktop().cursor = screen;
    PostInput(hWnd, WM_RBUTTONDOWN, kRightButtonHeld, ClientPosition(hWnd, screen));
    PostInput(hWnd, WM_RBUTTONUP, 0, ClientPosition(hWnd, screen));
}

void SetApplicationActive(bool active) { SetProgramActive(active); }

bool ApplicationActive() { return TheDesktop().appActive; }

HWND ActiveWindow() { return TheDesktop().activeWindow; }

HWND FocusWindow() { return TheDesktop().focusWindow; }

void OnWait(std::function<void(HWND filter)> script) { TheDesktop().waitScript = std::move(script); }

void OnHang(std::function<void()> handler) { TheDesktop().hangHandler = std::move(handler); }

void SetTickCount(DWORD ticks) { TheDesktop().tickCount = ticks; }

void AdvanceTicks(DWORD milliseconds) { TheDesktop().tickCount += milliseconds; }

void SetCounterFrequency(int64_t countsPerSecond) { TheDesktop().counterFrequency = countsPerSecond; }

void SetCounter(int64_t counts) { TheDesktop().counter = counts; }

void SetCursorScreenPos(int x, int y) { TheDesktop().cursor = ClampToScreen(x, y); }

POINT CursorScreenPos() { return TheDesktop().cursor; }

int CursorShowCount() { return TheDesktop().cursorShowCount; }

bool WindowExists(HWND hWnd) { return LookUpWindow(hWnd) != nullptr; }

std::vector<HWND> Windows()
{
    std::vector<HWND> handles;
    for (const auto& entry : TheDesktop().windows) handles.push_back(entry.second.handle);
    return handles;
}

HWND FindWindowByClass(const std::string& className)
{
    for (const auto& entry : TheDesktop().windows)
        if (FoldCase(entry.second.className) == FoldCase(className)) return entry.second.handle;
    return nullptr;
}

WindowInfo Inspect(HWND hWnd)
{
    WindowInfo info;
    const Window* window = LookUpWindow(hWnd);
    if (!window) return info;
    info.className = window->className;
    info.title = window->text;
    info.style = window->style;
    info.exStyle = window->exStyle;
    info.windowRect = window->windowRect;
    info.clientRect = {0, 0, window->clientRect.right - window->clientRect.left,
                       window->clientRect.bottom - window->clientRect.top};
    info.parent = window->parent;
    info.font = window->font;
    info.visible = IsWindowVisible(hWnd);
    return info;
}

bool NeedsPaint(HWND hWnd)
{
    const Window* window = LookUpWindow(hWnd);
    return window && window->needsPaint;
}

bool ClassRegistered(const std::string& className) { return FindClass(className.c_str()) != nullptr; }

WNDCLASSA ClassInfo(const std::string& className)
{
    const WindowClass* found = FindClass(className.c_str());
    return found ? found->info : WNDCLASSA{};
}

bool FontExists(HFONT font)
{
    const auto& objects = TheDesktop().gdiObjects;
    auto found = objects.find(reinterpret_cast<uintptr_t>(font));
    return found != objects.end() && found->second.kind == GdiObject::Kind::Font;
}

FontInfo InspectFont(HFONT font)
{
    if (!FontExists(font)) return FontInfo{};
    return TheDesktop().gdiObjects.at(reinterpret_cast<uintptr_t>(font)).font;
}

bool BrushExists(HBRUSH brush, COLORREF* color)
{
    const auto& objects = TheDesktop().gdiObjects;
    auto found = objects.find(reinterpret_cast<uintptr_t>(brush));
    if (found == objects.end() || found->second.kind != GdiObject::Kind::Brush) return false;
    if (color) *color = found->second.color;
    return true;
}

int LiveGdiObjects() { return static_cast<int>(TheDesktop().gdiObjects.size()); }

const std::vector<MessageRecord>& MessageLog() { return TheDesktop().messageLog; }

void ClearMessageLog() { TheDesktop().messageLog.clear(); }

const std::vector<MessageRecord>& DefaultProcedureLog() { return TheDesktop().defaultProcedureLog; }

void ClearDefaultProcedureLog() { TheDesktop().defaultProcedureLog.clear(); }

size_t QueuedMessageCount()
{
    const Desktop& desktop = TheDesktop();
    return desktop.queue.size() + (desktop.quitPosted ? 1 : 0);
}

}  // namespace standin::desktop
