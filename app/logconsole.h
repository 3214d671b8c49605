// The run's log: every line in memory, shown in a small console window
// after a failed run.
#pragma once

#include <string>
#include <vector>

#include "app/win32.h"

class CLogConsole {
public:
    CLogConsole();
    virtual ~CLogConsole();

    void AddLine(const char* text);
    void Show(HINSTANCE hInstance);

    // The text Show puts into the Edit control: the newest lines that fit
    // into 65,535 bytes, oldest first, each ending in CR LF. The returned
    // pointer lies inside buffer, which must hold kTextBufferSize bytes.
    static const size_t kTextBufferSize = 0x10000;
    const char* AssembleText(char* buffer) const;

    HWND hWnd;
    HWND hEdit;
    std::vector<std::string> lines;
    bool closed;
};

LRESULT CALLBACK ConsoleWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
