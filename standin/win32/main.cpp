// The entry of a stand-in program: the terminal is its desktop, and the
// program starts at WinMain as on Windows.
#include <cstdio>

#include "standin/win32/api.h"
#include "standin/win32/program_desktop.h"

int main()
{
    standin::desktop::InstallProgramDesktop(0, stderr);
    return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), 1);
}
