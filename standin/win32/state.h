// The stand-in desktop's state, shared by the pieces of the window manager.
// One thread owns it; window procedures run nested inside the calls that
// deliver their messages, so every piece re-finds a window by its handle
// after it has sent a message (the procedure may have destroyed it).
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "standin/control/desktop.h"

namespace standin::win32 {

struct WindowClass {
    std::string name;  // as registered; info.lpszClassName points here
    WNDCLASSA info{};
    ATOM atom = 0;
    bool predefined = false;
};

struct Window {
    HWND handle = nullptr;
    std::string className;  // as the class was registered
    WNDPROC proc = nullptr;
    DWORD style = 0;  // WS_VISIBLE only while the window is shown
    DWORD exStyle = 0;
    std::string text;
    HWND parent = nullptr;  // set for WS_CHILD windows only
    HMENU menu = nullptr;
    HINSTANCE instance = nullptr;
    RECT windowRect{};                    // screen coordinates
    RECT clientRect{};                    // screen coordinates
    std::map<std::string, HANDLE> props;  // keys folded to lower case, as atoms are
    HFONT font = nullptr;                 // kept by the Edit class
    uint64_t zOrder = 0;                  // higher is nearer the top; raised on creation and activation
    bool needsPaint = false;
    bool destroying = false;
};

struct QueuedMessage {
    MSG msg{};
    bool input = false;  // keyboard and mouse input comes after posted messages
};

struct GdiObject {
    enum class Kind { Brush, Font };
    Kind kind = Kind::Brush;
    COLORREF color = 0;
    desktop::FontInfo font;
};

struct Desktop {
    std::map<std::string, WindowClass> classes;  // keyed by the lower-case name
    ATOM nextAtom = 0xC000;

    std::map<uintptr_t, Window> windows;  // handles grow, so this is oldest first
    uintptr_t nextWindowHandle = 0x10010;
    uint64_t nextZOrder = 1;

    std::deque<QueuedMessage> queue;
    bool quitPosted = false;
    int quitCode = 0;

    bool appActive = false;
    HWND activeWindow = nullptr;
    HWND focusWindow = nullptr;
    HWND lastActiveWindow = nullptr;  // to give activation back when the program is reactivated

    std::vector<desktop::MessageRecord> messageLog;
    std::vector<desktop::MessageRecord> defaultProcedureLog;  // the program's own DefWindowProcA calls
    int procDepth = 0;  // window procedures running right now

    std::map<uintptr_t, GdiObject> gdiObjects;
    uintptr_t nextGdiHandle = 0x20010;

    int screenWidth = 1024;
    int screenHeight = 768;
    POINT cursor{0, 0};
    int cursorShowCount = 0;

    DWORD tickCount = 0;
    int64_t counterFrequency = 1000000;
    int64_t counter = 0;

    std::function<void(HWND)> waitScript;
    std::function<void()> hangHandler;
};

Desktop& TheDesktop();

// The window behind a handle, or null for a handle that names no window.
Window* LookUpWindow(HWND hWnd);
bool IsDescendant(HWND ancestor, HWND hWnd);
std::vector<HWND> ChildrenOf(HWND parent);
std::vector<HWND> TopLevelWindows();

// Calls the window's procedure, recording the message with its nesting depth.
LRESULT CallProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// What DefWindowProcA does, without counting the call as the program's.
LRESULT DefaultProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostInput(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void RemoveQueuedMessagesOf(HWND hWnd);

// Activation: a newly shown top-level window becomes the active one; a
// destroyed active window hands activation on, or deactivates the program.
void ActivateWindow(HWND hWnd);
void DeactivateForDestroy(HWND hWnd);
void SetProgramActive(bool active);

const WindowClass* FindClass(LPCSTR name);  // by name or atom
void RegisterPredefinedClasses();
void ResetResources();
bool DeleteGdiObject(uintptr_t handle);
POINT ClampToScreen(int x, int y);
// Moves the cursor; the window under it hears WM_MOUSEMOVE when it moved.
void MoveCursorOverWindows(POINT to);
std::string FoldCase(const std::string& text);

}  // namespace standin::win32
