// The Edit control, GDI objects, the cursor, the clocks and the resources.
#include <cstring>

#include "tests/standin/win32_fixture.h"

namespace win32_test {
namespace {

using SystemTest = DesktopTest;

TEST_F(SystemTest, EditControlKeepsItsTextAndFont)
{
    HWND parent = Popup(0, 0, 500, 400, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
    HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE,
                                10, 10, 475, 355, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    HFONT font =
        CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                    ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Lucida Console");

    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\r\ntwo\r\n"));

    EXPECT_EQ(SendMessageA(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    EXPECT_EQ(desktop::Inspect(edit).font, font);
    EXPECT_EQ(desktop::Inspect(edit).title, "one\r\ntwo\r\n");
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 10);
    char buffer[32] = {};
    EXPECT_EQ(GetWindowTextA(edit, buffer, sizeof buffer), 10);
    EXPECT_STREQ(buffer, "one\r\ntwo\r\n");
    EXPECT_EQ(desktop::Inspect(edit).className, "Edit");
    EXPECT_TRUE(desktop::NeedsPaint(edit));
}

TEST_F(SystemTest, FontKeepsItsCreationArguments)
{
    HFONT font = CreateFontA(-11, 2, 3, 4, FW_NORMAL, 1, 0, 1, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0, "Lucida Console");

    desktop::FontInfo info = desktop::InspectFont(font);
    EXPECT_EQ(info.height, -11);
    EXPECT_EQ(info.width, 2);
    EXPECT_EQ(info.escapement, 3);
    EXPECT_EQ(info.orientation, 4);
    EXPECT_EQ(info.weight, 400);
    EXPECT_EQ(info.italic, 1u);
    EXPECT_EQ(info.strikeOut, 1u);
    EXPECT_EQ(info.outPrecision, 4u);
    EXPECT_EQ(info.quality, 4u);
    EXPECT_EQ(info.faceName, "Lucida Console");
}

TEST_F(SystemTest, GdiObjectsLiveUntilDeletedOnce)
{
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HFONT font = CreateFontA(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    COLORREF color = 0;
    EXPECT_EQ(desktop::LiveGdiObjects(), 2);
    EXPECT_TRUE(desktop::BrushExists(brush, &color));
    EXPECT_EQ(color, 0x030201u);
    EXPECT_FALSE(desktop::FontExists(reinterpret_cast<HFONT>(brush)));

    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(uintptr_t{COLOR_BTNFACE + 1})));
    EXPECT_EQ(desktop::LiveGdiObjects(), 1);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(desktop::FontExists(font));
    EXPECT_EQ(desktop::LiveGdiObjects(), 0);
}

TEST_F(SystemTest, ShowCursorCountsBothWays)
{
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(ShowCursor(TRUE), 1);
    EXPECT_EQ(desktop::CursorShowCount(), 1);
}

TEST_F(SystemTest, CursorStaysOnTheScreen)
{
    struct Case {
        int x, y, expectedX, expectedY;
    };
    const Case cases[] = {{400, 300, 400, 300},
                          {-5, 10, 0, 10},
                          {5000, -1, 1023, 0},
                          {1023, 767, 1023, 767},
                          {1024, 768, 1023, 767}};
    for (const Case& c : cases) {
        EXPECT_TRUE(SetCursorPos(c.x, c.y));
        POINT point{};
        ASSERT_TRUE(GetCursorPos(&point));
        EXPECT_EQ(point.x, c.expectedX) << c.x << "," << c.y;
        EXPECT_EQ(point.y, c.expectedY) << c.x << "," << c.y;
    }
    desktop::SetScreenSize(640, 480);
    EXPECT_EQ(desktop::CursorScreenPos().x, 639);
    EXPECT_EQ(desktop::CursorScreenPos().y, 479);
}

TEST_F(SystemTest, SetCursorPosTellsTheWindowUnderTheCursor)
{
    HWND below = Popup(0, 0, 1024, 768);
    HWND above = Popup(20, 20, 800, 600);
    HWND topmost = CreateWindowExA(WS_EX_TOPMOST, "PLAIN", "", WS_POPUP | WS_VISIBLE, 700, 500, 200, 200,
                                   nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(topmost);  // leaves the two, with "above" active again
    MSG msg{};

    SetCursorPos(400, 300);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, above);
    EXPECT_EQ(msg.lParam, MAKELPARAM(380, 280));

    SetCursorPos(400, 300);  // no movement, no message
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    SetCursorPos(900, 700);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, below);
}

TEST_F(SystemTest, MouseInputIsInClientCoordinates)
{
    HWND hWnd = Popup(20, 20, 800, 600);

    desktop::MoveMouse(hWnd, 5, 6);
    desktop::PressRightButton(hWnd, 7, 8);

    EXPECT_EQ(desktop::CursorScreenPos().x, 27);
    EXPECT_EQ(desktop::CursorScreenPos().y, 28);
    std::vector<UINT> order;
    MSG msg{};
    while (PeekMessageA(&msg, hWnd, WM_MOUSEMOVE, WM_RBUTTONUP, PM_REMOVE)) {
        order.push_back(msg.message);
        EXPECT_EQ(msg.lParam, msg.message == WM_MOUSEMOVE ? MAKELPARAM(5, 6) : MAKELPARAM(7, 8));
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP}));
}

TEST_F(SystemTest, TickCountWrapsLikeA32BitCounter)
{
    EXPECT_EQ(GetTickCount(), 0u);
    desktop::SetTickCount(0xFFFFFFF0u);
    desktop::AdvanceTicks(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(GetTickCount(), 0x10u);
}

TEST_F(SystemTest, PerformanceCounterCanBeMissing)
{
    LARGE_INTEGER value{};
    ASSERT_TRUE(QueryPerformanceFrequency(&value));
    EXPECT_EQ(value.QuadPart, 1000000);
    desktop::SetCounter(123456789012LL);
    ASSERT_TRUE(QueryPerformanceCounter(&value));
    EXPECT_EQ(value.QuadPart, 123456789012LL);

    desktop::SetCounterFrequency(0);
    value.QuadPart = 7;
    EXPECT_FALSE(QueryPerformanceFrequency(&value));
    EXPECT_EQ(value.QuadPart, 0);
}

// Resources of the test program itself, as the build embeds them.
const unsigned char kModuleBytes[] = {'B', 'M', 1, 2};
const desktop::ModuleResource kModuleResource("JPG", 201, kModuleBytes, sizeof kModuleBytes);

std::vector<unsigned char> Load(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC resource = FindResourceA(module, name, type);
    if (!resource) return {};
    DWORD size = SizeofResource(module, resource);
    auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
    if (!bytes) return {};
    return std::vector<unsigned char>(bytes, bytes + size);
}

TEST_F(SystemTest, ResourcesAreFoundByTypeAndId)
{
    desktop::AddResource("JPG", 101, {1, 2, 3});
    desktop::AddResource("#10", 101, {9});
    HMODULE self = GetModuleHandleA(nullptr);
    struct Case {
        const char* name;
        HMODULE module;
        LPCSTR id;
        LPCSTR type;
        std::vector<unsigned char> expected;
    };
    const Case cases[] = {
        {"null module", nullptr, MAKEINTRESOURCEA(101), "JPG", {1, 2, 3}},
        {"own module", self, MAKEINTRESOURCEA(101), "JPG", {1, 2, 3}},
        {"type in lower case", nullptr, MAKEINTRESOURCEA(101), "jpg", {1, 2, 3}},
        {"id as #text", nullptr, "#101", "JPG", {1, 2, 3}},
        {"numbered type", nullptr, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(10), {9}},
        {"numbered type as text", nullptr, MAKEINTRESOURCEA(101), "#10", {9}},
        {"embedded by the build", nullptr, MAKEINTRESOURCEA(201), "JPG", {'B', 'M', 1, 2}},
        {"other id", nullptr, MAKEINTRESOURCEA(102), "JPG", {}},
        {"other type", nullptr, MAKEINTRESOURCEA(101), "BMP", {}},
        {"other module", reinterpret_cast<HMODULE>(uintptr_t{0x7000}), MAKEINTRESOURCEA(101), "JPG", {}},
        {"name that is no number", nullptr, "#1x", "JPG", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(c.module, c.id, c.type), c.expected) << c.name;
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
}

TEST_F(SystemTest, ResetForgetsTestResourcesButKeepsTheModulesOwn)
{
    desktop::AddResource("JPG", 101, {1});
    desktop::RemoveResource("JPG", 201);
    HRSRC added = FindResourceA(nullptr, MAKEINTRESOURCEA(101), "JPG");
    EXPECT_TRUE(Load(nullptr, MAKEINTRESOURCEA(201), "JPG").empty());

    desktop::Reset();

    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(101), "JPG"), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, added), 0u);
    EXPECT_EQ(Load(nullptr, MAKEINTRESOURCEA(201), "JPG").size(), 4u);
}

TEST_F(SystemTest, ResetForgetsWindowsClassesAndObjects)
{
    Popup(0, 0, 10, 10);
    CreateSolidBrush(0);
    ShowCursor(FALSE);
    PostMessageA(nullptr, WM_USER, 0, 0);

    desktop::Reset();

    EXPECT_TRUE(desktop::Windows().empty());
    EXPECT_FALSE(desktop::ClassRegistered("PLAIN"));
    EXPECT_EQ(desktop::LiveGdiObjects(), 0);
    EXPECT_EQ(desktop::CursorShowCount(), 0);
    EXPECT_EQ(desktop::QueuedMessageCount(), 0u);
    EXPECT_TRUE(desktop::MessageLog().empty());
    EXPECT_FALSE(desktop::ApplicationActive());
}

}  // namespace
}  // namespace win32_test
