// Prints the text of the Edit controls of another program's window, so that
// a script can read what a window shows, such as blendprobe's log console
// after a failed run, without anyone looking at the screen.
//
//     window_text.exe.so TITLE [CLASS]
//
// Looks for a top-level window titled TITLE (and of class CLASS, when given)
// among the windows of the same Wine prefix, and writes the text of each of
// its Edit children to standard output, with CR LF line ends turned into LF.
// Exit code 0 when the window was found, even if it has no Edit child yet;
// 1 when there is no such window; 2 on wrong usage or when the window does
// not answer.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A window in another process answers sent messages only while its thread
// takes messages; one that does not within this time counts as hung.
const UINT kAnswerTimeoutMs = 5000;

struct EditSearch {
    std::vector<HWND> edits;
};

BOOL CALLBACK CollectEdit(HWND child, LPARAM param)
{
    char className[16] = {};
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Edit") == 0) reinterpret_cast<EditSearch*>(param)->edits.push_back(child);
    return TRUE;
}

bool ReadText(HWND edit, std::string& text)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &length))
        return false;
    std::vector<char> buffer(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(edit, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied))
        return false;
    text.clear();
    for (DWORD_PTR i = 0; i < copied && i < length; ++i)
        if (buffer[i] != '\r') text.push_back(buffer[i]);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: window_text TITLE [CLASS]\n");
        return 2;
    }
    const char* title = argv[1];
    const char* windowClass = argc == 3 ? argv[2] : nullptr;
    HWND window = FindWindowA(windowClass, title);
    if (!window) {
        std::fprintf(stderr, "window_text: no window titled %s\n", title);
        return 1;
    }

    EditSearch search;
    EnumChildWindows(window, CollectEdit, reinterpret_cast<LPARAM>(&search));
    for (HWND edit : search.edits) {
        std::string text;
        if (!ReadText(edit, text)) {
            std::fprintf(stderr, "window_text: the window does not answer\n");
            return 2;
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        if (!text.empty() && text.back() != '\n') std::fputc('\n', stdout);
    }
    std::fflush(stdout);
    return 0;
}
