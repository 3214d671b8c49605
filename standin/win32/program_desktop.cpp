#include "standin/win32/program_desktop.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "standin/control/desktop.h"

namespace standin::desktop {

namespace {

constexpr char kEscape = 0x1B;

HWND EditControlOf(HWND hWnd)
{
    for (HWND candidate : Windows()) {
        WindowInfo info = Inspect(candidate);
        // The predefined class keeps the name it was registered with.
        if (info.parent == hWnd && info.className == "Edit") return candidate;
    }
    return nullptr;
}

bool WaitsForUser(HWND hWnd)
{
    WindowInfo info = Inspect(hWnd);
    return info.visible && !info.parent && EditControlOf(hWnd);
}

HWND WindowWaitingForUser(HWND filter)
{
    if (filter) return WaitsForUser(filter) ? filter : nullptr;
    for (HWND hWnd : Windows())
        if (WaitsForUser(hWnd)) return hWnd;
    return nullptr;
}

// The terminal shows lines ended by LF alone.
std::string ForTerminal(const std::string& text)
{
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) shown += text[i];
    if (!shown.empty() && shown.back() != '\n') shown += '\n';
    return shown;
}

void PrintWindow(HWND hWnd, std::FILE* report)
{
    std::string text = Inspect(EditControlOf(hWnd)).title;
    std::fprintf(report, "---- %s ----\n%s", Inspect(hWnd).title.c_str(), ForTerminal(text).c_str());
    std::fflush(report);
}

// Reads keys one by one, without echo, until Esc, Enter or the end of input.
void WaitForEscapeOrEnter(int inputFd)
{
    termios saved{};
    tcgetattr(inputFd, &saved);
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(inputFd, TCSANOW, &raw);
    char key = 0;
    while (read(inputFd, &key, 1) == 1 && key != kEscape && key != '\r' && key != '\n') {
    }
    tcsetattr(inputFd, TCSANOW, &saved);
}

class TerminalDesktop {
public:
    TerminalDesktop(int inputFd, std::FILE* report) : inputFd_(inputFd), report_(report) {}

    // Dismisses a window at most once: if Esc did not close it, nothing will.
    void Wait(HWND filter)
    {
        HWND waiting = WindowWaitingForUser(filter);
        if (!waiting || dismissed_.count(waiting)) return;
        PrintWindow(waiting, report_);
        if (isatty(inputFd_)) {
            std::fputs("(press Esc or Enter to close)\n", report_);
            std::fflush(report_);
            WaitForEscapeOrEnter(inputFd_);
        }
        dismissed_.insert(waiting);
        PressKey(waiting, VK_ESCAPE);
    }

    void Hang()
    {
        std::fputs("stand-in desktop: the program waits for a message that never comes\n", report_);
        std::fflush(report_);
        std::exit(1);
    }

private:
    int inputFd_;
    std::FILE* report_;
    std::set<HWND> dismissed_;
};

}  // namespace

void InstallProgramDesktop(int inputFd, std::FILE* report)
{
    auto desktop = std::make_shared<TerminalDesktop>(inputFd, report);
    OnWait([desktop](HWND filter) { desktop->Wait(filter); });
    OnHang([desktop]() { desktop->Hang(); });
}

}  // namespace standin::desktop
