// The terminal desktop of a stand-in program: a waiting console is printed
// and dismissed with Esc when no terminal can answer; other waits end the
// process.
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "standin/win32/program_desktop.h"
#include "tests/standin/win32_fixture.h"

namespace win32_test {
namespace {

class ProgramDesktopTest : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        ASSERT_EQ(pipe(input_), 0);
        report_ = std::tmpfile();
        ASSERT_NE(report_, nullptr);
    }
    void TearDown() override
    {
        close(input_[0]);
        close(input_[1]);
        std::fclose(report_);
        DesktopTest::TearDown();
    }

    std::string Report()
    {
        std::fflush(report_);
        std::rewind(report_);
        std::string text;
        for (int c = std::fgetc(report_); c != EOF; c = std::fgetc(report_)) text += static_cast<char>(c);
        return text;
    }

    int input_[2] = {-1, -1};
    std::FILE* report_ = nullptr;
};

TEST_F(ProgramDesktopTest, WaitingConsoleIsPrintedOnceAndDismissedWithEscape)
{
    desktop::InstallProgramDesktop(input_[0], report_);
    HWND console = CreateWindowExA(0, "PLAIN", "Console", WS_POPUP | WS_VISIBLE | WS_CAPTION, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 500, 400, nullptr, nullptr, nullptr, nullptr);
    HWND edit = Child(console, 10, 10, 475, 355, WS_CHILD | WS_VISIBLE, "Edit");
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("first\r\nsecond\r\n"));
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);  // paints

    ASSERT_EQ(GetMessageA(&msg, console, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT{WM_KEYDOWN});
    EXPECT_EQ(msg.wParam, WPARAM{VK_ESCAPE});
    EXPECT_EQ(msg.hwnd, console);
    EXPECT_EQ(Report(), "---- Console ----\nfirst\nsecond\n");
}

TEST_F(ProgramDesktopTest, OnATerminalTheConsoleWaitsForEnterAndTheTerminalIsRestored)
{
    int master = -1, terminal = -1;
    ASSERT_EQ(openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
    termios before{};
    tcgetattr(terminal, &before);
    desktop::InstallProgramDesktop(terminal, report_);
    HWND console = Popup(0, 0, 100, 100);
    Child(console, 0, 0, 10, 10, WS_CHILD | WS_VISIBLE, "Edit");
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    ASSERT_EQ(write(master, "ab\r", 3), 3);  // typed ahead: two keys, then Enter

    ASSERT_EQ(GetMessageA(&msg, console, 0, 0), 1);

    EXPECT_EQ(msg.wParam, WPARAM{VK_ESCAPE});
    pollfd typed{terminal, POLLIN, 0};
    EXPECT_EQ(poll(&typed, 1, 0), 0) << "the keys were read";
    termios after{};
    tcgetattr(terminal, &after);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_NE(Report().find("press Esc or Enter"), std::string::npos);
    close(master);
    close(terminal);
}

TEST_F(ProgramDesktopTest, WaitNothingCanEndExitsWithCodeOne)
{
    EXPECT_EXIT(
        {
            desktop::InstallProgramDesktop(input_[0], stderr);
            Popup(0, 0, 10, 10, WS_POPUP);
            MSG msg{};
            GetMessageA(&msg, nullptr, 0, 0);
        },
        ::testing::ExitedWithCode(1), "the program waits for a message that never comes");
}

TEST_F(ProgramDesktopTest, ConsoleThatIgnoresEscapeIsAHang)
{
    EXPECT_EXIT(
        {
            desktop::InstallProgramDesktop(input_[0], stderr);
            HWND console = Popup(0, 0, 100, 100);
            Child(console, 0, 0, 10, 10, WS_CHILD | WS_VISIBLE, "Edit");
            MSG msg{};
            for (;;) {
                GetMessageA(&msg, console, 0, 0);
                DispatchMessageA(&msg);
            }
        },
        ::testing::ExitedWithCode(1), "never comes");
}

}  // namespace
}  // namespace win32_test
