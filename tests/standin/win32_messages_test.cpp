// The message queue, painting, the default procedure, waiting and activation.
#include "tests/standin/win32_fixture.h"

namespace win32_test {
namespace {

using MessagesTest = DesktopTest;

struct FilterCase {
    const char* name;
    int filter;  // index into the windows below, -1 for none
    UINT filterMin, filterMax;
    std::vector<UINT> expected;
};

TEST_F(MessagesTest, FiltersTakeTheirWindowItsChildrenAndTheirRange)
{
    // Each window gets its own message number, so the result names the window.
    const FilterCase cases[] = {
        {"no filter", -1, 0, 0, {WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4}},
        {"parent takes its child's", 0, 0, 0, {WM_USER + 1, WM_USER + 2}},
        {"child alone", 1, 0, 0, {WM_USER + 2}},
        {"other window", 2, 0, 0, {WM_USER + 3}},
        {"range", -1, WM_USER + 2, WM_USER + 3, {WM_USER + 2, WM_USER + 3}},
        {"window and range", 0, WM_USER + 2, WM_USER + 9, {WM_USER + 2}},
    };
    for (const FilterCase& c : cases) {
        desktop::Reset();
        Register("PLAIN", PlainProc);
        HWND parent = Popup(0, 0, 100, 100, WS_POPUP);
        HWND windows[] = {parent, Child(parent, 0, 0, 10, 10, WS_CHILD), Popup(0, 0, 10, 10, WS_POPUP)};
        PostMessageA(windows[0], WM_USER + 1, 0, 0);
        PostMessageA(windows[1], WM_USER + 2, 0, 0);
        PostMessageA(windows[2], WM_USER + 3, 0, 0);
        PostMessageA(nullptr, WM_USER + 4, 0, 0);
        HWND filter = c.filter < 0 ? nullptr : windows[c.filter];

        std::vector<UINT> taken;
        MSG msg{};
        while (PeekMessageA(&msg, filter, c.filterMin, c.filterMax, PM_REMOVE)) taken.push_back(msg.message);

        EXPECT_EQ(taken, c.expected) << c.name;
        EXPECT_EQ(desktop::QueuedMessageCount(), 4 - c.expected.size()) << c.name;
    }
}

// The program's own calls are logged with their nesting; an Edit control's
// default handling inside the stand-in is not the program's doing.
TEST_F(MessagesTest, DefaultProcedureLogHoldsTheProgramsCallsOnly)
{
    HWND hWnd = Popup(0, 0, 100, 100, WS_POPUP);
    HWND edit = Child(hWnd, 0, 0, 50, 20, WS_CHILD, "Edit");
    desktop::ClearDefaultProcedureLog();

    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("text"));
    SendMessageA(hWnd, WM_USER, 1, 2);

    const std::vector<desktop::MessageRecord>& log = desktop::DefaultProcedureLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].hWnd, hWnd);
    EXPECT_EQ(log[0].message, UINT{WM_USER});
    EXPECT_EQ(log[0].wParam, WPARAM{1});
    EXPECT_EQ(log[0].depth, 1);
}

TEST_F(MessagesTest, NoRemoveLeavesTheMessageAtTheFront)
{
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP);
    PostMessageA(hWnd, WM_USER, 11, 22);
    PostMessageA(hWnd, WM_USER + 1, 0, 0);
    MSG msg{};

    ASSERT_TRUE(PeekMessageA(&msg, hWnd, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT{WM_USER});
    ASSERT_TRUE(PeekMessageA(&msg, hWnd, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT{WM_USER});
    EXPECT_EQ(desktop::QueuedMessageCount(), 2u);
    ASSERT_EQ(GetMessageA(&msg, hWnd, 0, 0), 1);
    EXPECT_EQ(msg.hwnd, hWnd);
    EXPECT_EQ(msg.wParam, WPARAM{11});
    EXPECT_EQ(msg.lParam, LPARAM{22});
    ASSERT_EQ(GetMessageA(&msg, hWnd, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT{WM_USER + 1});
    EXPECT_FALSE(PeekMessageA(&msg, hWnd, 0, 0, PM_REMOVE));
}

TEST_F(MessagesTest, PaintComesOnlyWhenNothingIsQueuedAndUntilValidated)
{
    static int paints = 0;
    static bool validate = false;
    paints = 0;
    validate = false;
    Register("LAZY", [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message != WM_PAINT) return DefWindowProcA(hWnd, message, wParam, lParam);
        ++paints;
        return validate ? DefWindowProcA(hWnd, message, wParam, lParam) : 0;
    });
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, "LAZY");
    PostMessageA(hWnd, WM_USER, 0, 0);
    MSG msg{};

    ASSERT_EQ(GetMessageA(&msg, hWnd, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT{WM_USER});
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(GetMessageA(&msg, hWnd, 0, 0), 1);
        EXPECT_EQ(msg.message, UINT{WM_PAINT});
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(paints, 2);
    EXPECT_TRUE(PeekMessageA(&msg, hWnd, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, hWnd, WM_USER, WM_USER, PM_NOREMOVE));

    validate = true;
    ASSERT_EQ(GetMessageA(&msg, hWnd, 0, 0), 1);
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, hWnd, 0, 0, PM_REMOVE));
    EXPECT_FALSE(desktop::NeedsPaint(hWnd));
}

TEST_F(MessagesTest, PaintGoesFromTheTopWindowDownAndParentsBeforeChildren)
{
    HWND bottom = Popup(0, 0, 100, 100);
    HWND top = Popup(0, 0, 100, 100);
    HWND child = Child(top, 0, 0, 10, 10);
    HWND hiddenChild = Child(bottom, 0, 0, 10, 10, WS_CHILD);

    std::vector<HWND> order;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(msg.hwnd);
        DispatchMessageA(&msg);
    }

    EXPECT_EQ(order, (std::vector<HWND>{top, child, bottom}));
    EXPECT_FALSE(desktop::NeedsPaint(hiddenChild));
}

TEST_F(MessagesTest, HiddenWindowGetsNoPaint)
{
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, hWnd, 0, 0, PM_NOREMOVE));
}

TEST_F(MessagesTest, PostedMessagesComeBeforeInputAndTranslatedCharacters)
{
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP);
    desktop::PressKey(hWnd, 'A');
    PostMessageA(hWnd, WM_USER, 0, 0);

    std::vector<UINT> order;
    MSG msg{};
    while (PeekMessageA(&msg, hWnd, 0, 0, PM_REMOVE)) {
        order.push_back(msg.message);
        if (msg.message == WM_CHAR) {
            EXPECT_EQ(msg.wParam, WPARAM{'a'});
        }
        TranslateMessage(&msg);
    }

    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
}

TEST_F(MessagesTest, KeyPressLooksLikeARealKey)
{
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP);
    desktop::PressKey(hWnd, VK_ESCAPE);
    MSG down{}, up{};
    PeekMessageA(&down, hWnd, 0, 0, PM_REMOVE);
    PeekMessageA(&up, hWnd, 0, 0, PM_REMOVE);

    EXPECT_EQ(down.message, UINT{WM_KEYDOWN});
    EXPECT_EQ(down.wParam, WPARAM{VK_ESCAPE});
    EXPECT_EQ(down.lParam, LPARAM{0x00010001});  // repeat 1, scan code 1
    EXPECT_EQ(up.message, UINT{WM_KEYUP});
    EXPECT_EQ(static_cast<uint32_t>(up.lParam), 0xC0010001u);  // key was down, is released
}

TEST_F(MessagesTest, TranslationMakesCharactersOfCharacterKeysOnly)
{
    struct Case {
        UINT message;
        WPARAM key;
        BOOL translated;
        int character;  // -1 for none
    };
    const Case cases[] = {
        {WM_KEYDOWN, '7', TRUE, '7'},        {WM_KEYDOWN, VK_RETURN, TRUE, '\r'},
        {WM_KEYDOWN, VK_ESCAPE, TRUE, 0x1B}, {WM_KEYDOWN, VK_F4, TRUE, -1},
        {WM_KEYUP, 'A', TRUE, -1},           {WM_USER, 'A', FALSE, -1},
    };
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP);
    for (const Case& c : cases) {
        MSG key{};
        key.hwnd = hWnd;
        key.message = c.message;
        key.wParam = c.key;
        EXPECT_EQ(TranslateMessage(&key), c.translated) << c.key;
        MSG character{};
        bool posted = PeekMessageA(&character, hWnd, 0, 0, PM_REMOVE);
        EXPECT_EQ(posted, c.character >= 0) << c.key;
        if (posted) {
            EXPECT_EQ(character.message, UINT{WM_CHAR}) << c.key;
            EXPECT_EQ(character.wParam, WPARAM(c.character)) << c.key;
        }
    }
}

TEST_F(MessagesTest, AltF4BecomesTheCloseCommand)
{
    HWND hWnd = Popup(0, 0, 10, 10);
    const LPARAM f4 = 1 | (0x3E << 16);

    SendMessageA(hWnd, WM_SYSKEYDOWN, VK_F4, f4);
    EXPECT_TRUE(IsWindow(hWnd)) << "F4 without Alt";
    SendMessageA(hWnd, WM_SYSKEYDOWN, VK_F4, f4 | (1 << 29));

    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(Records(WM_SYSCOMMAND).at(0).wParam, WPARAM{SC_CLOSE});
}

TEST_F(MessagesTest, QuitEndsGetMessageWithItsCode)
{
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP);
    PostQuitMessage(3);
    PostMessageA(hWnd, WM_USER, 0, 0);
    MSG msg{};

    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, UINT{WM_QUIT});
    EXPECT_EQ(msg.wParam, WPARAM{3});
    EXPECT_EQ(desktop::QueuedMessageCount(), 0u);
}

TEST_F(MessagesTest, WaitScriptRunsWithTheFilterBeforeAHangIsReported)
{
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP);
    HWND filterSeen = nullptr;
    desktop::OnWait([&](HWND filter) {
        filterSeen = filter;
        desktop::PressCloseCommand(hWnd);
    });
    MSG msg{};

    ASSERT_EQ(GetMessageA(&msg, hWnd, 0, 0), 1);
    EXPECT_EQ(filterSeen, hWnd);
    EXPECT_EQ(msg.message, UINT{WM_SYSCOMMAND});
    EXPECT_EQ(msg.wParam, WPARAM{SC_CLOSE});

    desktop::OnWait([](HWND) {});
    EXPECT_THROW(GetMessageA(&msg, hWnd, 0, 0), Hang);
    desktop::OnWait(nullptr);
    EXPECT_THROW(GetMessageA(&msg, nullptr, 0, 0), Hang);
}

TEST_F(MessagesTest, GetMessageRefusesAFilterThatIsNoWindow)
{
    MSG msg{};
    EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(uintptr_t{0x999}), 0, 0), -1);
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(uintptr_t{0x999}), WM_USER, 0, 0));
}

TEST_F(MessagesTest, CloseCommandDestroysThroughTheDefaultProcedure)
{
    HWND hWnd = Popup(0, 0, 10, 10);
    desktop::PressCloseCommand(hWnd);
    desktop::ClearMessageLog();
    MSG msg{};

    GetMessageA(&msg, hWnd, 0, 0);
    DispatchMessageA(&msg);

    EXPECT_FALSE(IsWindow(hWnd));
    auto closes = Records(WM_CLOSE);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].depth, 1);  // sent from inside the WM_SYSCOMMAND handling
    EXPECT_EQ(Records(WM_NCDESTROY).at(0).depth, 2);
}

TEST_F(MessagesTest, WindowThatHandlesCloseItselfSurvives)
{
    Register("KEEP", [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_CLOSE) return 0;
        return DefWindowProcA(hWnd, message, wParam, lParam);
    });
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, "KEEP");

    SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);

    EXPECT_TRUE(IsWindow(hWnd));
    EXPECT_EQ(Records(WM_CLOSE).size(), 1u);
}

TEST_F(MessagesTest, DefaultProcedureKeepsTheWindowText)
{
    HWND hWnd = Popup(0, 0, 10, 10, WS_POPUP);
    char buffer[8] = {};

    EXPECT_EQ(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("DirectX6")), TRUE);
    EXPECT_EQ(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0), 8);
    EXPECT_EQ(SendMessageA(hWnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 7);
    EXPECT_STREQ(buffer, "DirectX");
    EXPECT_EQ(GetWindowTextA(hWnd, buffer, 4), 3);
    EXPECT_STREQ(buffer, "Dir");
    EXPECT_EQ(DefWindowProcA(hWnd, WM_USER, 1, 2), 0);
}

TEST_F(MessagesTest, SwitchingProgramsSendsActivationBothWays)
{
    HWND hWnd = Popup(0, 0, 10, 10);
    HWND hidden = Popup(0, 0, 10, 10, WS_POPUP);
    desktop::ClearMessageLog();

    desktop::SetApplicationActive(false);
    desktop::SetApplicationActive(false);
    std::vector<std::pair<HWND, UINT>> seen;
    for (const auto& record : desktop::MessageLog()) seen.push_back({record.hWnd, record.message});
    EXPECT_EQ(
        seen,
        (std::vector<std::pair<HWND, UINT>>{
            {hWnd, WM_ACTIVATE}, {hWnd, WM_ACTIVATEAPP}, {hidden, WM_ACTIVATEAPP}, {hWnd, WM_KILLFOCUS}}));
    EXPECT_EQ(Records(WM_ACTIVATEAPP).at(0).wParam, WPARAM{FALSE});
    desktop::ClearMessageLog();

    desktop::SetApplicationActive(true);
    seen.clear();
    for (const auto& record : desktop::MessageLog()) seen.push_back({record.hWnd, record.message});
    EXPECT_EQ(
        seen,
        (std::vector<std::pair<HWND, UINT>>{
            {hWnd, WM_ACTIVATEAPP}, {hidden, WM_ACTIVATEAPP}, {hWnd, WM_ACTIVATE}, {hWnd, WM_SETFOCUS}}));
    EXPECT_EQ(Records(WM_ACTIVATEAPP).at(0).wParam, WPARAM{TRUE});
    EXPECT_EQ(desktop::ActiveWindow(), hWnd);
}

TEST_F(MessagesTest, ProgramWithoutVisibleWindowCannotBeActivated)
{
    Popup(0, 0, 10, 10, WS_POPUP);
    desktop::SetApplicationActive(true);
    EXPECT_FALSE(desktop::ApplicationActive());
    EXPECT_TRUE(Records(WM_ACTIVATEAPP).empty());
}

}  // namespace
}  // namespace win32_test
