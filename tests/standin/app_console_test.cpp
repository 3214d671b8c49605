// The log console: which lines its text holds at the limits of its buffer,
// the window it shows them in, and what ends its wait.
#include <cstring>

#include "app_alloc_counter.h"
#include "app_test_support.h"

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

const size_t kBuffer = CLogConsole::kTextBufferSize;

Lines Repeat(size_t count, size_t length)
{
    return Lines(count, std::string(length, 'x'));
}

struct TextCase {
    const char* name;
    Lines lines;
    size_t newestKept;  // how many of the newest lines the text holds
};

const TextCase kTextCases[] = {
    {"no lines give an empty text", {}, 0},
    {"three characters and CR LF", {"abc"}, 1},
    {"an empty line is CR LF alone", {"first", "", "last"}, 3},
    {"lines of exactly 65,535 bytes with their CR LF all fit",
     {std::string(32765, 'a'), std::string(32766, 'b')}, 2},
    {"one byte more leaves the oldest out whole", {std::string(32766, 'a'), std::string(32766, 'b')}, 1},
    {"a newest line of 65,533 bytes fills the text alone", {"old", std::string(65533, 'n')}, 1},
    {"a newest line of 65,534 bytes leaves the text empty", {"old", std::string(65534, 'n')}, 0},
    {"a line that does not fit stops the older ones that would",
     {"old", std::string(65000, 'm'), std::string(600, 'n')}, 1},
    {"many short lines: the newest that fit", Repeat(3000, 30), 65535 / 32},
};

class ConsoleTest : public AppFixture {
protected:
    void Add(const Lines& lines)
    {
        for (const std::string& line : lines) logConsole.AddLine(line.c_str());
    }

    CLogConsole logConsole;
};

// The text ends just before the NUL in the buffer's last byte, and it is
// assembled in that buffer alone.
TEST_F(ConsoleTest, TextHoldsTheNewestWholeLinesThatFit)
{
    std::unique_ptr<char[]> buffer(new char[kBuffer]);
    for (const TextCase& c : kTextCases) {
        SCOPED_TRACE(c.name);
        CLogConsole log;
        for (const std::string& line : c.lines) log.AddLine(line.c_str());
        std::memset(buffer.get(), '#', kBuffer);

        const char* text;
        size_t allocations;
        {
            AllocationCount count;
            text = log.AssembleText(buffer.get());
            allocations = count.Total();
        }

        EXPECT_EQ(allocations, 0u);
        const Lines kept(c.lines.end() - static_cast<std::ptrdiff_t>(c.newestKept), c.lines.end());
        EXPECT_EQ(std::string(text), Joined(kept));
        EXPECT_EQ(text + std::strlen(text), buffer.get() + kBuffer - 1);
    }
}

// Where a child window lies in its parent's client area. The console's frame
// is as wide at its sides as at its bottom; the caption adds to the top.
POINT PositionInParent(const desktop::WindowInfo& child, const desktop::WindowInfo& parent)
{
    const LONG frame = ((parent.windowRect.right - parent.windowRect.left) - parent.clientRect.right) / 2;
    const LONG clientLeft = parent.windowRect.left + frame;
    const LONG clientTop = parent.windowRect.bottom - frame - parent.clientRect.bottom;
    return POINT{child.windowRect.left - clientLeft, child.windowRect.top - clientTop};
}

TEST_F(ConsoleTest, ShowsTheTextInAnEditControlAndCleansUp)
{
    Add({"first line", "second line"});
    HWND consoleWindow = nullptr;
    HFONT font = nullptr;
    consoleAction = [&](HWND window, int) {
        consoleWindow = window;
        const desktop::WindowInfo info = desktop::Inspect(window);
        EXPECT_EQ(info.className, "CONSOLEWND");
        EXPECT_EQ(info.title, "Console");
        EXPECT_EQ(info.style, 0x90C80000u);
        EXPECT_EQ(info.exStyle, 0u);
        EXPECT_EQ(info.windowRect.right - info.windowRect.left, 500);
        EXPECT_EQ(info.windowRect.bottom - info.windowRect.top, 400);
        EXPECT_EQ(info.parent, nullptr);

        const WNDCLASSA wc = desktop::ClassInfo("CONSOLEWND");
        EXPECT_EQ(wc.style, 0u);
        EXPECT_EQ(wc.lpfnWndProc, &ConsoleWndProc);
        EXPECT_EQ(wc.hInstance, Instance());
        EXPECT_EQ(wc.hIcon, nullptr);
        EXPECT_EQ(wc.hCursor, nullptr);
        EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(16)));

        const std::vector<HWND> windows = desktop::Windows();
        ASSERT_EQ(windows.size(), 2u);
        const desktop::WindowInfo edit = desktop::Inspect(windows[1]);
        EXPECT_EQ(edit.className, "Edit");
        EXPECT_EQ(edit.parent, window);
        EXPECT_EQ(edit.style, 0x50A00044u);
        EXPECT_EQ(edit.exStyle, 0u);
        const POINT position = PositionInParent(edit, info);
        EXPECT_EQ(position.x, 10);
        EXPECT_EQ(position.y, 10);
        EXPECT_EQ(edit.windowRect.right - edit.windowRect.left, 475);
        EXPECT_EQ(edit.windowRect.bottom - edit.windowRect.top, 355);

        font = edit.font;
        ASSERT_TRUE(desktop::FontExists(font));
        const desktop::FontInfo f = desktop::InspectFont(font);
        EXPECT_EQ(f.height, -11);
        EXPECT_EQ(f.width, 0);
        EXPECT_EQ(f.escapement, 0);
        EXPECT_EQ(f.orientation, 0);
        EXPECT_EQ(f.weight, 400);
        EXPECT_EQ(f.italic, 0u);
        EXPECT_EQ(f.underline, 0u);
        EXPECT_EQ(f.strikeOut, 0u);
        EXPECT_EQ(f.charSet, 0u);
        EXPECT_EQ(f.outPrecision, 4u);
        EXPECT_EQ(f.clipPrecision, 0u);
        EXPECT_EQ(f.quality, 4u);
        EXPECT_EQ(f.pitchAndFamily, 0u);
        EXPECT_EQ(f.faceName, "Lucida Console");

        desktop::PressKey(window, VK_ESCAPE);
    };

    logConsole.Show(Instance());

    EXPECT_EQ(console.waits, 1);
    EXPECT_EQ(console.editText, "first line\r\nsecond line\r\n");
    // Until its object is attached, the console's messages go to the
    // default procedure, and so does WM_CREATE itself.
    EXPECT_TRUE(ReachedDefaultProcedure(consoleWindow, WM_NCCREATE));
    EXPECT_TRUE(ReachedDefaultProcedure(consoleWindow, WM_CREATE));
    EXPECT_TRUE(desktop::Windows().empty());
    EXPECT_FALSE(desktop::FontExists(font));
    EXPECT_FALSE(desktop::ClassRegistered("CONSOLEWND"));
    EXPECT_EQ(desktop::LiveGdiObjects(), 0);
}

struct WaitCase {
    const char* name;
    std::function<void(HWND)> user;
    int waits;  // 1: the first action ended the wait
};

TEST_F(ConsoleTest, EscAndTheCloseCommandEndTheWaitOtherKeysDoNot)
{
    const WaitCase cases[] = {
        {"Esc", [](HWND window) { desktop::PressKey(window, VK_ESCAPE); }, 1},
        {"the close command", [](HWND window) { desktop::PressCloseCommand(window); }, 1},
        {"the letter A", [](HWND window) { desktop::PressKey(window, 'A'); }, 2},
        {"Enter", [](HWND window) { desktop::PressKey(window, VK_RETURN); }, 2},
    };
    for (const WaitCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        CLogConsole shown;
        HWND consoleWindow = nullptr;
        consoleAction = [&](HWND window, int wait) {
            consoleWindow = window;
            if (wait == 1)
                c.user(window);
            else
                desktop::PressKey(window, VK_ESCAPE);
        };

        shown.Show(Instance());

        EXPECT_EQ(console.waits, c.waits);
        EXPECT_FALSE(ReachedDefaultProcedure(consoleWindow, WM_KEYDOWN));
        EXPECT_FALSE(ReachedDefaultProcedure(consoleWindow, WM_CLOSE));
        EXPECT_TRUE(desktop::Windows().empty());
    }
}

// A class of the same name registered before makes the console's own
// registration fail, and its procedure refuses to create the window.
LRESULT CALLBACK RefusingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) return FALSE;
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST_F(ConsoleTest, ReturnsAtOnceWhenTheConsoleCannotBeCreated)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = RefusingProc;
    wc.hInstance = Instance();
    wc.lpszClassName = "CONSOLEWND";
    ASSERT_NE(RegisterClassA(&wc), 0);
    Add({"a line"});

    logConsole.Show(Instance());

    EXPECT_EQ(console.waits, 0);
    EXPECT_EQ(mainWaits, 0);
    EXPECT_TRUE(desktop::Windows().empty());
    EXPECT_EQ(desktop::LiveGdiObjects(), 0);
}

// One 64 KB block for the text, whatever the number of lines: the count of
// allocations does not grow with the lines.
TEST_F(ConsoleTest, ShowAllocatesOneTextBufferWhateverTheLines)
{
    size_t totals[2] = {};
    const size_t lineCounts[2] = {3, 300};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(testing::Message() << lineCounts[i] << " lines");
        StartOver();
        CLogConsole log;
        for (size_t n = 0; n < lineCounts[i]; ++n) log.AddLine("a line of the log");

        AllocationCount count;
        log.Show(Instance());
        totals[i] = count.Total();
        EXPECT_EQ(count.OfSize(kBuffer), 1u);
    }
    EXPECT_EQ(totals[0], totals[1]);
}

}  // namespace
}  // namespace apptest
