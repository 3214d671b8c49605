// A fresh desktop for every test, a window class whose procedure hands
// everything to the default one, and readers of the message log.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "standin/control/desktop.h"

namespace win32_test {

namespace desktop = standin::desktop;

struct Hang : std::runtime_error {
    Hang() : std::runtime_error("the program would wait forever") {}
};

inline LRESULT CALLBACK PlainProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::Reset();
        desktop::OnHang([] { throw Hang(); });
        Register("PLAIN", PlainProc);
    }
    void TearDown() override { desktop::Reset(); }

    static ATOM Register(const char* name, WNDPROC proc)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = name;
        return RegisterClassA(&wc);
    }

    static HWND Popup(int x, int y, int width, int height, DWORD style = WS_POPUP | WS_VISIBLE,
                      const char* className = "PLAIN")
    {
        return CreateWindowExA(0, className, "title", style, x, y, width, height, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    static HWND Child(HWND parent, int x, int y, int width, int height, DWORD style = WS_CHILD | WS_VISIBLE,
                      const char* className = "PLAIN")
    {
        return CreateWindowExA(0, className, "", style, x, y, width, height, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    // The messages received since the log was last cleared, in order.
    static std::vector<UINT> Received(HWND hWnd = nullptr)
    {
        std::vector<UINT> messages;
        for (const auto& record : desktop::MessageLog())
            if (!hWnd || record.hWnd == hWnd) messages.push_back(record.message);
        return messages;
    }

    static std::vector<desktop::MessageRecord> Records(UINT message)
    {
        std::vector<desktop::MessageRecord> records;
        for (const auto& record : desktop::MessageLog())
            if (record.message == message) records.push_back(record);
        return records;
    }
};

}  // namespace win32_test
