// DefWindowProcA is wrapped at link time (--wrap on its symbol), so every
// call the program makes to it passes through here first. The desktop
// answers as before; the tests only learn which messages got there.
#include "app_test_support.h"

#include "app_alloc_counter.h"

extern "C" {
LRESULT __real__Z14DefWindowProcAP6HWND__jml(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT __wrap__Z14DefWindowProcAP6HWND__jml(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
}

namespace {

std::vector<apptest::DefaultCall>& Calls()
{
    static std::vector<apptest::DefaultCall> calls;
    return calls;
}

}  // namespace

LRESULT __wrap__Z14DefWindowProcAP6HWND__jml(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        apptest::PauseAllocationCount pause;
        Calls().push_back({hWnd, message});
    }
    return __real__Z14DefWindowProcAP6HWND__jml(hWnd, message, wParam, lParam);
}

namespace apptest {

const std::vector<DefaultCall>& DefaultProcedureCalls() { return Calls(); }
void ClearDefaultProcedureCalls() { Calls().clear(); }

}  // namespace apptest
