#include "app/logconsole.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

const char kConsoleClass[] = "CONSOLEWND";
const char kConsoleProperty[] = "DX5APPPTR";

const DWORD kConsoleStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
const DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;

HFONT CreateConsoleFont()
{
    return CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       "Lucida Console");
}

}  // namespace

CLogConsole::CLogConsole() : hWnd(nullptr), hEdit(nullptr), closed(false) {}

CLogConsole::~CLogConsole() {}

void CLogConsole::AddLine(const char* text) { lines.emplace_back(text ? text : ""); }

// Back to front: the newest line ends just before the terminating NUL, and
// each older line goes in front of it until the next one would not fit. Only
// whole lines are left out, and the total is never counted beforehand.
const char* CLogConsole::AssembleText(char* buffer) const
{
    const size_t terminator = kTextBufferSize - 1;
    buffer[terminator] = '\0';
    size_t used = 0;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const size_t length = line->size();
        if (used + length + 2 > terminator) break;
        used += length + 2;
        char* start = buffer + terminator - used;
        std::memcpy(start, line->data(), length);
        start[length] = '\r';
        start[length + 1] = '\n';
    }
    return buffer + terminator - used;
}

void CLogConsole::Show(HINSTANCE hInstance)
{
    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = ConsoleWndProc;
    wc.hInstance = hInstance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kConsoleClass;
    RegisterClassA(&wc);

    hWnd = CreateWindowExA(0, kConsoleClass, "Console", kConsoleStyle, CW_USEDEFAULT, CW_USEDEFAULT, 500,
                           400, nullptr, nullptr, hInstance, this);
    hEdit = CreateWindowExA(0, "Edit", "", kEditStyle, 10, 10, 475, 355, hWnd, nullptr, hInstance,
                            nullptr);
    HFONT font = CreateConsoleFont();
    SendMessageA(hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);

    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kTextBufferSize]);
    if (buffer) SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AssembleText(buffer.get())));
    buffer.reset();

    // A console that could not be created, or that went away by other means
    // than the user closing it, has nobody to wait for.
    MSG msg = {};
    while (hWnd && !closed) {
        if (GetMessageA(&msg, hWnd, 0, 0) == -1) break;
        DispatchMessageA(&msg);
        TranslateMessage(&msg);
    }

    DestroyWindow(hWnd);
    DeleteObject(font);
    UnregisterClassA(kConsoleClass, hInstance);
}

LRESULT CALLBACK ConsoleWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CLogConsole* console;
    if (message == WM_CREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        console = static_cast<CLogConsole*>(create->lpCreateParams);
        SetPropA(hWnd, kConsoleProperty, console);
    } else {
        console = static_cast<CLogConsole*>(GetPropA(hWnd, kConsoleProperty));
    }
    if (!console) return DefWindowProcA(hWnd, message, wParam, lParam);

    switch (message) {
        case WM_CLOSE:
            console->closed = true;
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) console->closed = true;
            return 0;
        default:
            return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}
