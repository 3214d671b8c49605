// Test control of the stand-in desktop: script input and time, inspect
// windows, classes, GDI objects and the cursor. The system never includes
// this; tests and the stand-in's own program desktop do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "standin/win32/api.h"

namespace standin::desktop {

// Forget every window, class, property, queued message, GDI object and
// resource registration made by the program, and put the screen, cursor and
// clocks back to their start values (1024 x 768 screen, cursor at (0, 0),
// show count 0, tick count 0, counter frequency 1,000,000, counter 0).
// The wait script and the hang handler go back to none and the default;
// the message log is emptied; the program is inactive again.
void Reset();

void SetScreenSize(int width, int height);

// ---- input: each posts what Windows would post to the window's queue
void PressKey(HWND hWnd, UINT virtualKey);    // WM_KEYDOWN then WM_KEYUP
void PressCloseCommand(HWND hWnd);            // WM_SYSCOMMAND SC_CLOSE, as Alt+F4
void MoveMouse(HWND hWnd, int clientX, int clientY);   // cursor moves, WM_MOUSEMOVE posted
void PressRightButton(HWND hWnd, int clientX, int clientY);  // WM_RBUTTONDOWN, WM_RBUTTONUP
// Sends WM_ACTIVATEAPP (and the window activation messages) to the
// program's top-level windows, as when the user switches programs.
// Nothing happens when the program already is in that state, nor, for
// activation, when it has no visible top-level window to activate.
void SetApplicationActive(bool active);
bool ApplicationActive();
HWND ActiveWindow();                          // null while the program is inactive
HWND FocusWindow();

// Called whenever GetMessageA finds nothing to deliver, with the filter
// window it was given. The script may post messages, advance time or change
// anything else; when GetMessageA still finds nothing afterwards the program
// would wait forever, and the desktop reports the hang (see OnHang).
void OnWait(std::function<void(HWND filter)> script);
// What to do on a hang; by default print a message and abort the process.
// A handler that returns without posting anything makes GetMessageA fail
// with -1 and an empty message; a test's handler normally throws.
void OnHang(std::function<void()> handler);

// ---- time
void SetTickCount(DWORD ticks);
void AdvanceTicks(DWORD milliseconds);
// 0 means the machine has no performance counter: QueryPerformanceFrequency fails.
void SetCounterFrequency(int64_t countsPerSecond);
void SetCounter(int64_t counts);
// Every call of the two clocks returns the value set, until it is set again.

// ---- cursor
// Puts the cursor somewhere without telling any window (SetCursorPos and
// MoveMouse do tell).
void SetCursorScreenPos(int x, int y);
POINT CursorScreenPos();
int CursorShowCount();

// ---- inspection
struct WindowInfo {
    std::string className;
    std::string title;       // the window text; for an "Edit" control its contents
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT windowRect{};       // screen coordinates
    RECT clientRect{};       // client coordinates (left and top 0)
    HWND parent = nullptr;
    HFONT font = nullptr;    // set by WM_SETFONT
    bool visible = false;
};

struct FontInfo {
    int height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
    DWORD italic = 0, underline = 0, strikeOut = 0, charSet = 0;
    DWORD outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
    std::string faceName;
};

struct MessageRecord {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int depth;               // 0 for a dispatched message, deeper for sent ones nested inside
};

bool WindowExists(HWND hWnd);
std::vector<HWND> Windows();                 // existing windows, oldest first
HWND FindWindowByClass(const std::string& className);
WindowInfo Inspect(HWND hWnd);
bool NeedsPaint(HWND hWnd);                  // WM_PAINT would come for it
bool ClassRegistered(const std::string& className);
WNDCLASSA ClassInfo(const std::string& className);
bool FontExists(HFONT font);
FontInfo InspectFont(HFONT font);
bool BrushExists(HBRUSH brush, COLORREF* color = nullptr);
int LiveGdiObjects();                        // brushes and fonts not yet deleted
// Every message a window procedure received, in order, since Reset.
const std::vector<MessageRecord>& MessageLog();
void ClearMessageLog();
// Every call the program made to DefWindowProcA, in order, with the depth of
// window procedures running at the time; the stand-in's own controls are not
// counted.
const std::vector<MessageRecord>& DefaultProcedureLog();
void ClearDefaultProcedureLog();
// Posted and input messages waiting, and a pending WM_QUIT.
size_t QueuedMessageCount();

// ---- resources of the program's own module
// Resources added by a test; Reset removes them again.
void AddResource(const std::string& type, WORD id, std::vector<unsigned char> bytes);
void RemoveResource(const std::string& type, WORD id);

// The program's own resources as the build embeds them: a static object of
// this type registers one before main runs, and Reset keeps it.
struct ModuleResource {
    ModuleResource(const char* type, WORD id, const unsigned char* bytes, size_t size);
};

}  // namespace standin::desktop
