// The message queue and the calls that deliver messages. A message is looked
// for in the order Windows uses: posted messages, then WM_QUIT, then
// keyboard and mouse input, then WM_PAINT for a window that needs painting.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "standin/win32/state.h"

namespace standin::win32 {

namespace {

constexpr UINT kSysKeyUp = 0x0105;
constexpr UINT kSysChar = 0x0106;

// Counts the procedure calls running, also when a procedure throws.
class ProcedureDepth {
public:
    ProcedureDepth() { ++TheDesktop().procDepth; }
    ~ProcedureDepth() { --TheDesktop().procDepth; }
    ProcedureDepth(const ProcedureDepth&) = delete;
    ProcedureDepth& operator=(const ProcedureDepth&) = delete;
};

bool InRange(UINT message, UINT filterMin, UINT filterMax)
{
    if (filterMin == 0 && filterMax == 0) return true;
    return filterMin <= message && message <= filterMax;
}

// A window filter also takes the messages of the filter's children; thread
// messages (no window) only come without a filter.
bool ForFilter(HWND hWnd, HWND filter) { return !filter || hWnd == filter || IsDescendant(filter, hWnd); }

MSG MakeMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Desktop& desktop = TheDesktop();
    MSG msg{};
    msg.hwnd = hWnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = desktop.tickCount;
    msg.pt = desktop.cursor;
    return msg;
}

bool TakeQueued(bool input, HWND filter, UINT filterMin, UINT filterMax, bool remove, MSG* out)
{
    auto& queue = TheDesktop().queue;
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (it->input != input || !ForFilter(it->msg.hwnd, filter) ||
            !InRange(it->msg.message, filterMin, filterMax))
            continue;
        *out = it->msg;
        if (remove) queue.erase(it);
        return true;
    }
    return false;
}

bool TakeQuit(UINT filterMin, UINT filterMax, bool remove, MSG* out)
{
    Desktop& desktop = TheDesktop();
    if (!desktop.quitPosted || !InRange(WM_QUIT, filterMin, filterMax)) return false;
    *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(desktop.quitCode), 0);
    if (remove) desktop.quitPosted = false;
    return true;
}

// Windows are painted from the top of the z-order down, a parent before
// its children.
HWND WindowToPaint(HWND parent, HWND filter)
{
    std::vector<HWND> windows = ChildrenOf(parent);
    std::sort(windows.begin(), windows.end(),
              [](HWND a, HWND b) { return LookUpWindow(a)->zOrder > LookUpWindow(b)->zOrder; });
    for (HWND hWnd : windows) {
        if (!IsWindowVisible(hWnd)) continue;
        if (LookUpWindow(hWnd)->needsPaint && ForFilter(hWnd, filter)) return hWnd;
        if (HWND child = WindowToPaint(hWnd, filter)) return child;
    }
    return nullptr;
}

// WM_PAINT is never queued: it is made up for a visible window that needs
// painting and keeps coming until the window is validated.
bool FindPaint(HWND filter, UINT filterMin, UINT filterMax, MSG* out)
{
    if (!InRange(WM_PAINT, filterMin, filterMax)) return false;
    HWND hWnd = WindowToPaint(nullptr, filter);
    if (!hWnd) return false;
    *out = MakeMessage(hWnd, WM_PAINT, 0, 0);
    return true;
}

bool FindMessage(HWND filter, UINT filterMin, UINT filterMax, bool remove, MSG* out)
{
    return TakeQueued(false, filter, filterMin, filterMax, remove, out) ||
           TakeQuit(filterMin, filterMax, remove, out) ||
           TakeQueued(true, filter, filterMin, filterMax, remove, out) ||
           FindPaint(filter, filterMin, filterMax, out);
}

void ReportHang()
{
    Desktop& desktop = TheDesktop();
    if (desktop.hangHandler) {
        desktop.hangHandler();
        return;
    }
    std::fputs("stand-in desktop: the program waits for a message that never comes\n", stderr);
    std::abort();
}

// The character a key gives without Shift, as TranslateMessage makes it.
bool CharacterOfKey(WPARAM virtualKey, WPARAM& character)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        character = virtualKey - 'A' + 'a';
        return true;
    }
    switch (virtualKey) {
        case 0x08:  // VK_BACK
        case 0x09:  // VK_TAB
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_SPACE:
            character = virtualKey;
            return true;
        default:
            character = virtualKey;
            return virtualKey >= '0' && virtualKey <= '9';
    }
}

LRESULT GetText(const Window& window, WPARAM maxCount, LPARAM buffer)
{
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || maxCount == 0) return 0;
    size_t count = std::min<size_t>(window.text.size(), maxCount - 1);
    window.text.copy(out, count);
    out[count] = '\0';
    return static_cast<LRESULT>(count);
}

}  // namespace

LRESULT CallProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Window* window = LookUpWindow(hWnd);
    if (!window) return 0;
    WNDPROC proc = window->proc;
    Desktop& desktop = TheDesktop();
    desktop.messageLog.push_back({hWnd, message, wParam, lParam, desktop.procDepth});
    ProcedureDepth depth;
    return proc(hWnd, message, wParam, lParam);
}

void PostInput(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!LookUpWindow(hWnd)) return;
    TheDesktop().queue.push_back({MakeMessage(hWnd, message, wParam, lParam), true});
}

void RemoveQueuedMessagesOf(HWND hWnd)
{
    auto& queue = TheDesktop().queue;
    for (auto it = queue.begin(); it != queue.end();) it = it->msg.hwnd == hWnd ? queue.erase(it) : it + 1;
}

}  // namespace standin::win32

using namespace standin::win32;

BOOL WINAPI GetMessageA(LPMSG msg, HWND hWnd, UINT filterMin, UINT filterMax)
{
    if (!msg || (hWnd && !LookUpWindow(hWnd))) return -1;
    if (!FindMessage(hWnd, filterMin, filterMax, true, msg)) {
        Desktop& desktop = TheDesktop();
        if (desktop.waitScript) desktop.waitScript(hWnd);
        if (!FindMessage(hWnd, filterMin, filterMax, true, msg)) {
            ReportHang();
            // A hang handler that returns may have posted what ends the wait.
            if (!FindMessage(hWnd, filterMin, filterMax, true, msg)) {
                *msg = MSG{};
                return -1;
            }
        }
    }
    return msg->message == WM_QUIT ? 0 : 1;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    if (!msg || (hWnd && !LookUpWindow(hWnd))) return FALSE;
    return FindMessage(hWnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0, msg);
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (!msg || !LookUpWindow(msg->hwnd)) return 0;
    return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    if (!msg) return FALSE;
    switch (msg->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            WPARAM character = 0;
            if (CharacterOfKey(msg->wParam, character))
                PostMessageA(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : kSysChar, character,
                             msg->lParam);
            return TRUE;
        }
        case WM_KEYUP:
        case kSysKeyUp:
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallProcedure(hWnd, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hWnd && !LookUpWindow(hWnd)) return FALSE;
    TheDesktop().queue.push_back({MakeMessage(hWnd, message, wParam, lParam), false});
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode)
{
    Desktop& desktop = TheDesktop();
    desktop.quitPosted = true;
    desktop.quitCode = exitCode;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Desktop& desktop = TheDesktop();
    desktop.defaultProcedureLog.push_back({hWnd, message, wParam, lParam, desktop.procDepth});
    return DefaultProcedure(hWnd, message, wParam, lParam);
}

LRESULT standin::win32::DefaultProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* window = LookUpWindow(hWnd);
    if (!window) return 0;
    switch (message) {
        case WM_NCCREATE: {
            // The default procedure is what gives a window its title.
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            if (create && create->lpszName && !IS_INTRESOURCE(create->lpszName))
                window->text = create->lpszName;
            return TRUE;
        }
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hWnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_SYSKEYDOWN:
            // Alt+F4: bit 29 of lParam says Alt was held.
            if (wParam == VK_F4 && (lParam & (1 << 29))) SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_PAINT:
            window->needsPaint = false;
            return 0;
        case WM_SETTEXT:
            window->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            return TRUE;
        case WM_GETTEXT:
            return GetText(*window, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(window->text.size());
        default:
            return 0;
    }
}
