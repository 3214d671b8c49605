// Window classes: registration by name (case-insensitive, as Windows
// compares class names), and the predefined "Edit" control.
#include <cctype>

#include "standin/win32/state.h"

namespace standin::win32 {

std::string FoldCase(const std::string& text)
{
    std::string folded = text;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

namespace {

// The Edit control keeps its text through the default procedure and the font
// it was given; typing, scrolling and selection are not modelled.
LRESULT CALLBACK EditProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_SETFONT: {
            Window* window = LookUpWindow(hWnd);
            window->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) window->needsPaint = true;
            return 0;
        }
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(LookUpWindow(hWnd)->font);
        case WM_SETTEXT: {
            LRESULT result = DefaultProcedure(hWnd, message, wParam, lParam);
            LookUpWindow(hWnd)->needsPaint = true;  // the new text has to be drawn
            return result;
        }
        default:
            return DefaultProcedure(hWnd, message, wParam, lParam);
    }
}

ATOM AddClass(const WNDCLASSA& info, bool predefined)
{
    Desktop& desktop = TheDesktop();
    std::string key = FoldCase(info.lpszClassName);
    if (desktop.classes.count(key)) return 0;
    WindowClass& added = desktop.classes[key];
    added.name = info.lpszClassName;
    added.info = info;
    added.info.lpszClassName = added.name.c_str();
    added.info.lpszMenuName = nullptr;
    if (!added.info.hInstance) added.info.hInstance = GetModuleHandleA(nullptr);
    added.atom = desktop.nextAtom++;
    added.predefined = predefined;
    return added.atom;
}

bool HasWindowsOfClass(const std::string& name)
{
    for (const auto& entry : TheDesktop().windows)
        if (entry.second.className == name) return true;
    return false;
}

// The system's own brushes (COLOR_xxx + 1) are no GDI objects; only a brush
// the program created is deleted with its class.
void DeleteClassBrush(HBRUSH brush) { DeleteGdiObject(reinterpret_cast<uintptr_t>(brush)); }

}  // namespace

const WindowClass* FindClass(LPCSTR name)
{
    if (!name) return nullptr;
    for (const auto& entry : TheDesktop().classes) {
        const WindowClass& candidate = entry.second;
        if (IS_INTRESOURCE(name) ? candidate.atom == reinterpret_cast<uintptr_t>(name)
                                 : entry.first == FoldCase(name))
            return &candidate;
    }
    return nullptr;
}

void RegisterPredefinedClasses()
{
    WNDCLASSA edit{};
    edit.lpfnWndProc = EditProc;
    edit.lpszClassName = "Edit";
    AddClass(edit, true);
}

}  // namespace standin::win32

using namespace standin::win32;

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass)
{
    // A class without a procedure could never answer a message; refuse it
    // rather than crash at the first one.
    if (!wndClass || !wndClass->lpszClassName || !wndClass->lpfnWndProc) return 0;
    if (IS_INTRESOURCE(wndClass->lpszClassName)) return 0;
    return AddClass(*wndClass, false);
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance)
{
    if (!className || IS_INTRESOURCE(className)) return FALSE;
    Desktop& desktop = TheDesktop();
    auto found = desktop.classes.find(FoldCase(className));
    if (found == desktop.classes.end() || found->second.predefined) return FALSE;
    if (!instance) instance = GetModuleHandleA(nullptr);
    if (found->second.info.hInstance != instance) return FALSE;
    if (HasWindowsOfClass(found->second.name)) return FALSE;
    // Windows deletes the class background brush together with the class.
    HBRUSH brush = found->second.info.hbrBackground;
    desktop.classes.erase(found);
    DeleteClassBrush(brush);
    return TRUE;
}
