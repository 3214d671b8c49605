// A program that ends badly on purpose, so the harness can show that it
// reports a crash, an abort or a hang as a failed run and never as the
// program's answer. The command line picks the misbehaviour.
#include <cstring>

#include <windows.h>

namespace {

LRESULT CALLBACK ThrowingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER) throw 1;
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

// Wine cannot unwind a C++ exception through its own DispatchMessageA: the
// exception is never caught and the C++ runtime aborts the process, which
// then ends with exit code 1.
int ThrowThroughDispatch(HINSTANCE hInstance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ThrowingProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = "MISBEHAVE";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, "MISBEHAVE", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, hInstance, nullptr);
    PostMessageA(hWnd, WM_USER, 0, 0);
    MSG msg;
    try {
        while (GetMessageA(&msg, hWnd, 0, 0) > 0) DispatchMessageA(&msg);
    } catch (...) {
        return 0;
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR commandLine, int)
{
    if (std::strcmp(commandLine, "crash") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    } else if (std::strcmp(commandLine, "throw") == 0) {
        return ThrowThroughDispatch(hInstance);
    } else if (std::strcmp(commandLine, "hang") == 0) {
        for (;;) Sleep(1000);
    }
    return 0;
}
