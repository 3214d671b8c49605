// Windows of the stand-in desktop: creation messages and geometry, failing
// creation, destruction, classes and properties.
#include <string>

#include "tests/standin/win32_fixture.h"

namespace win32_test {
namespace {

short LowSigned(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }

short HighSigned(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

using WindowsTest = DesktopTest;

struct CreationCase {
    const char* name;
    DWORD style;
    std::vector<UINT> expected;
};

// Measured on Wine 8: an overlapped window learns its size and position
// after it is shown and activated, a pop-up before it is shown.
TEST_F(WindowsTest, VisibleTopLevelWindowGetsCreationMessagesInWindowsOrder)
{
    const CreationCase cases[] = {
        {"overlapped",
         WS_OVERLAPPED | WS_VISIBLE,
         {WM_NCCREATE, WM_CREATE, WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}},
        {"pop-up",
         WS_POPUP | WS_VISIBLE | WS_SYSMENU,
         {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS}},
    };
    for (const CreationCase& c : cases) {
        desktop::Reset();
        Register("PLAIN", PlainProc);

        HWND hWnd = Popup(20, 20, 800, 600, c.style);

        ASSERT_NE(hWnd, nullptr) << c.name;
        EXPECT_EQ(Received(hWnd), c.expected) << c.name;
        EXPECT_EQ(Records(WM_ACTIVATEAPP).at(0).wParam, WPARAM{TRUE}) << c.name;
        EXPECT_EQ(LOWORD(Records(WM_ACTIVATE).at(0).wParam), WA_ACTIVE) << c.name;
        for (const auto& record : desktop::MessageLog()) EXPECT_EQ(record.depth, 0) << c.name;
        EXPECT_EQ(desktop::ActiveWindow(), hWnd) << c.name;
        EXPECT_EQ(desktop::FocusWindow(), hWnd) << c.name;
        EXPECT_TRUE(IsWindowVisible(hWnd)) << c.name;
    }
    EXPECT_EQ(Records(WM_SIZE).at(0).lParam, MAKELPARAM(800, 600));
}

TEST_F(WindowsTest, InvisibleWindowIsNeitherShownNorActivated)
{
    HWND hWnd = Popup(0, 0, 100, 100, WS_POPUP);

    EXPECT_EQ(Received(hWnd), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_FALSE(IsWindowVisible(hWnd));
    EXPECT_FALSE(desktop::ApplicationActive());
    EXPECT_FALSE(desktop::NeedsPaint(hWnd));
}

TEST_F(WindowsTest, SecondWindowTakesActivationWithoutReactivatingTheProgram)
{
    HWND first = Popup(0, 0, 100, 100);
    desktop::ClearMessageLog();

    HWND second = Popup(50, 50, 100, 100);

    EXPECT_TRUE(Records(WM_ACTIVATEAPP).empty());
    ASSERT_EQ(Records(WM_ACTIVATE).size(), 2u);
    EXPECT_EQ(Records(WM_ACTIVATE)[0].hWnd, first);
    EXPECT_EQ(Records(WM_ACTIVATE)[0].wParam, WPARAM{WA_INACTIVE});
    EXPECT_EQ(Records(WM_ACTIVATE)[1].hWnd, second);
    EXPECT_EQ(Records(WM_KILLFOCUS).at(0).hWnd, first);
    EXPECT_EQ(desktop::ActiveWindow(), second);
}

TEST_F(WindowsTest, ChildWindowIsNotActivated)
{
    HWND parent = Popup(0, 0, 200, 200);
    desktop::ClearMessageLog();

    HWND child = Child(parent, 10, 10, 50, 50);

    EXPECT_EQ(Received(child), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    EXPECT_EQ(desktop::ActiveWindow(), parent);
}

struct MoveCase {
    const char* name;
    DWORD style;
    int x, y;
    int clientX, clientY;  // what WM_MOVE reports
};

TEST_F(WindowsTest, WmMoveCarriesTheClientAreaPositionAsSignedWords)
{
    const MoveCase cases[] = {
        {"popup", WS_POPUP | WS_VISIBLE, 20, 20, 20, 20},
        {"popup left of and above the screen", WS_POPUP | WS_VISIBLE, -50, -30, -50, -30},
        {"far off screen", WS_POPUP | WS_VISIBLE, -3000, 5000, -3000, 5000},
        {"with caption", WS_POPUP | WS_VISIBLE | WS_CAPTION, 100, 50, 103, 72},
        {"invisible", WS_POPUP, 7, 8, 7, 8},
    };
    for (const MoveCase& c : cases) {
        desktop::Reset();
        Register("PLAIN", PlainProc);
        HWND hWnd = Popup(c.x, c.y, 300, 200, c.style);
        auto moves = Records(WM_MOVE);
        ASSERT_EQ(moves.size(), 1u) << c.name;
        EXPECT_EQ(LowSigned(moves[0].lParam), c.clientX) << c.name;
        EXPECT_EQ(HighSigned(moves[0].lParam), c.clientY) << c.name;
        EXPECT_EQ(moves[0].hWnd, hWnd) << c.name;
    }
}

TEST_F(WindowsTest, ChildWmMoveIsRelativeToTheParentClientArea)
{
    HWND parent = Popup(100, 50, 500, 400, WS_POPUP | WS_VISIBLE | WS_CAPTION);
    HWND child = Child(parent, 10, 10, 50, 50);

    auto moves = Records(WM_MOVE);
    ASSERT_EQ(moves.back().hWnd, child);
    EXPECT_EQ(moves.back().lParam, MAKELPARAM(10, 10));
    RECT rect{};
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect.left, 113);  // parent client left 103
    EXPECT_EQ(rect.top, 82);    // parent client top 72
}

struct GeometryCase {
    const char* name;
    DWORD style;
    int width, height;
    int clientWidth, clientHeight;
};

TEST_F(WindowsTest, FramesMakeTheClientAreaSmaller)
{
    const GeometryCase cases[] = {
        {"popup without caption", WS_POPUP | WS_VISIBLE | WS_SYSMENU, 800, 600, 800, 600},
        {"popup with caption", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 500, 400, 494, 375},
        {"overlapped gets a caption", WS_VISIBLE, 500, 400, 494, 375},
        {"thin border and scroll bar", WS_POPUP | WS_BORDER | WS_VSCROLL, 475, 355, 456, 353},
        {"frame larger than the window", WS_POPUP | WS_CAPTION, 4, 4, 0, 0},
    };
    for (const GeometryCase& c : cases) {
        HWND hWnd = Popup(30, 40, c.width, c.height, c.style);
        RECT client{}, window{};
        ASSERT_TRUE(GetClientRect(hWnd, &client)) << c.name;
        ASSERT_TRUE(GetWindowRect(hWnd, &window)) << c.name;
        EXPECT_EQ(client.left, 0) << c.name;
        EXPECT_EQ(client.top, 0) << c.name;
        EXPECT_EQ(client.right, c.clientWidth) << c.name;
        EXPECT_EQ(client.bottom, c.clientHeight) << c.name;
        EXPECT_EQ(window.left, 30) << c.name;
        EXPECT_EQ(window.bottom, 40 + c.height) << c.name;
    }
}

TEST_F(WindowsTest, DefaultPlacementFollowsTheWindowKind)
{
    HWND popup = Popup(CW_USEDEFAULT, CW_USEDEFAULT, 500, 400);
    HWND overlapped = CreateWindowExA(0, "PLAIN", "", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);

    RECT rect{};
    GetWindowRect(popup, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 500);
    GetWindowRect(overlapped, &rect);
    EXPECT_EQ(rect.right - rect.left, 768);
    EXPECT_EQ(rect.bottom - rect.top, 576);
}

TEST_F(WindowsTest, CreationParametersReachWmCreate)
{
    static const CREATESTRUCTA* seen = nullptr;
    static void* param = nullptr;
    Register("CREATE", [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_CREATE) {
            seen = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            param = seen->lpCreateParams;
            EXPECT_STREQ(seen->lpszName, "Console");
            EXPECT_EQ(seen->cx, 500);
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    });
    int object = 0;

    HWND hWnd =
        CreateWindowExA(0, "create", "Console", WS_POPUP, 1, 2, 500, 400, nullptr, nullptr, nullptr, &object);

    EXPECT_EQ(param, &object);
    EXPECT_EQ(desktop::Inspect(hWnd).title, "Console");
    EXPECT_EQ(desktop::Inspect(hWnd).className, "CREATE");
}

TEST_F(WindowsTest, TitleComesFromTheDefaultProcedureAtWmNcCreate)
{
    Register("NOTITLE", [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_NCCREATE) return TRUE;
        return DefWindowProcA(hWnd, message, wParam, lParam);
    });

    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP, "NOTITLE");

    EXPECT_EQ(desktop::Inspect(hWnd).title, "");
}

TEST_F(WindowsTest, RefusedCreationLeavesNoWindow)
{
    Register("NONC", [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_NCCREATE) return FALSE;
        return DefWindowProcA(hWnd, message, wParam, lParam);
    });
    Register("NOCREATE", [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_CREATE) return -1;
        return DefWindowProcA(hWnd, message, wParam, lParam);
    });

    EXPECT_EQ(Popup(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, "NONC"), nullptr);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY}));
    desktop::ClearMessageLog();
    EXPECT_EQ(Popup(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, "NOCREATE"), nullptr);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_NCDESTROY}));
    EXPECT_TRUE(desktop::Windows().empty());
    EXPECT_FALSE(desktop::ApplicationActive());
}

TEST_F(WindowsTest, CreationNeedsAClassAndAParentForAChild)
{
    EXPECT_EQ(Popup(0, 0, 10, 10, WS_POPUP, "NOSUCHCLASS"), nullptr);
    EXPECT_EQ(Child(nullptr, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(Child(reinterpret_cast<HWND>(uintptr_t{0x1234}), 0, 0, 10, 10), nullptr);
    EXPECT_TRUE(desktop::Windows().empty());
}

TEST_F(WindowsTest, DestroyingTheActiveWindowDeactivatesThenDestroysParentBeforeChildren)
{
    HWND parent = Popup(0, 0, 200, 200);
    HWND child = Child(parent, 0, 0, 10, 10);
    desktop::ClearMessageLog();

    EXPECT_TRUE(DestroyWindow(parent));

    std::vector<std::pair<HWND, UINT>> seen;
    for (const auto& record : desktop::MessageLog()) seen.push_back({record.hWnd, record.message});
    std::vector<std::pair<HWND, UINT>> expected{
        {parent, WM_ACTIVATE}, {parent, WM_ACTIVATEAPP}, {parent, WM_KILLFOCUS}, {parent, WM_DESTROY},
        {child, WM_DESTROY},   {child, WM_NCDESTROY},    {parent, WM_NCDESTROY}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(Records(WM_ACTIVATE).at(0).wParam, WPARAM{WA_INACTIVE});
    EXPECT_EQ(Records(WM_ACTIVATEAPP).at(0).wParam, WPARAM{FALSE});
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(desktop::ApplicationActive());
    EXPECT_EQ(desktop::ActiveWindow(), nullptr);
}

TEST_F(WindowsTest, DestroyingTheActiveWindowActivatesAnotherVisibleOne)
{
    HWND first = Popup(0, 0, 100, 100);
    HWND second = Popup(0, 0, 100, 100);
    desktop::ClearMessageLog();

    DestroyWindow(second);

    EXPECT_TRUE(Records(WM_ACTIVATEAPP).empty());
    EXPECT_EQ(desktop::ActiveWindow(), first);
    EXPECT_EQ(desktop::FocusWindow(), first);
    EXPECT_TRUE(desktop::ApplicationActive());
}

TEST_F(WindowsTest, DestroyWindowRefusesWhatIsNoWindow)
{
    HWND hWnd = Popup(0, 0, 10, 10);
    EXPECT_FALSE(DestroyWindow(nullptr));
    EXPECT_FALSE(DestroyWindow(reinterpret_cast<HWND>(uintptr_t{0x4321})));
    EXPECT_TRUE(DestroyWindow(hWnd));
    EXPECT_FALSE(DestroyWindow(hWnd));
}

TEST_F(WindowsTest, DestroyingAWindowDropsItsQueuedMessagesOnly)
{
    HWND doomed = Popup(0, 0, 10, 10);
    HWND other = Popup(0, 0, 10, 10);
    PostMessageA(doomed, WM_USER, 0, 0);
    desktop::PressKey(doomed, VK_SPACE);
    PostMessageA(other, WM_USER + 1, 0, 0);

    DestroyWindow(doomed);

    EXPECT_EQ(desktop::QueuedMessageCount(), 1u);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT{WM_USER + 1});
}

TEST_F(WindowsTest, ClassNamesAreUniqueWithoutRegardToCase)
{
    EXPECT_EQ(Register("plain", PlainProc), 0);
    EXPECT_EQ(Register("EDIT", PlainProc), 0);
    EXPECT_NE(Register("OTHER", PlainProc), 0);
    EXPECT_TRUE(desktop::ClassRegistered("Plain"));
    EXPECT_NE(Popup(0, 0, 10, 10, WS_POPUP, "pLaIn"), nullptr);
}

TEST_F(WindowsTest, ClassCannotBeUnregisteredWhileItHasWindows)
{
    HWND hWnd = Popup(0, 0, 10, 10);

    EXPECT_FALSE(UnregisterClassA("PLAIN", GetModuleHandleA(nullptr)));
    DestroyWindow(hWnd);
    EXPECT_TRUE(UnregisterClassA("PLAIN", GetModuleHandleA(nullptr)));
    EXPECT_FALSE(UnregisterClassA("PLAIN", GetModuleHandleA(nullptr)));
    EXPECT_FALSE(desktop::ClassRegistered("PLAIN"));
    EXPECT_NE(Register("PLAIN", PlainProc), 0);
}

TEST_F(WindowsTest, PredefinedEditClassStaysRegistered)
{
    EXPECT_FALSE(UnregisterClassA("Edit", nullptr));
    desktop::Reset();
    EXPECT_TRUE(desktop::ClassRegistered("edit"));
}

TEST_F(WindowsTest, UnregisteringAClassDeletesItsBackgroundBrush)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "BRUSHED";
    wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 0));
    ASSERT_NE(RegisterClassA(&wc), 0);
    wc.lpszClassName = "SYSCOLOR";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t{COLOR_BTNFACE + 1});
    ASSERT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(desktop::LiveGdiObjects(), 1);

    EXPECT_TRUE(UnregisterClassA("SYSCOLOR", nullptr));
    EXPECT_EQ(desktop::LiveGdiObjects(), 1);
    EXPECT_TRUE(UnregisterClassA("BRUSHED", nullptr));
    EXPECT_EQ(desktop::LiveGdiObjects(), 0);
}

TEST_F(WindowsTest, PropertiesBelongToTheirWindow)
{
    HWND hWnd = Popup(0, 0, 10, 10);
    HWND other = Popup(0, 0, 10, 10);
    int object = 0;

    EXPECT_TRUE(SetPropA(hWnd, "DX6APPPTR", &object));
    EXPECT_EQ(GetPropA(hWnd, "DX6APPPTR"), &object);
    EXPECT_EQ(GetPropA(hWnd, "dx6appptr"), &object);
    EXPECT_EQ(GetPropA(hWnd, "DX5APPPTR"), nullptr);
    EXPECT_EQ(GetPropA(other, "DX6APPPTR"), nullptr);
    DestroyWindow(hWnd);
    EXPECT_EQ(GetPropA(hWnd, "DX6APPPTR"), nullptr);
    EXPECT_FALSE(SetPropA(hWnd, "DX6APPPTR", &object));
}

TEST_F(WindowsTest, ChildOfAHiddenParentIsNotVisible)
{
    HWND parent = Popup(0, 0, 100, 100, WS_POPUP);
    HWND child = Child(parent, 0, 0, 10, 10);

    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_TRUE(desktop::Inspect(child).style & WS_VISIBLE);
    EXPECT_EQ(desktop::Inspect(child).parent, parent);
}

}  // namespace
}  // namespace win32_test
