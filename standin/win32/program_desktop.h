// The desktop of a stand-in build run as a program: the terminal. A window
// that waits for the user (a visible top-level window holding an Edit
// control, such as the log console) is printed once and closed by Esc or
// Enter on the terminal, or at once when input is no terminal, so that a
// scripted run never hangs. Any other wait that nothing can end is reported
// and ends the process with exit code 1.
#pragma once

#include <cstdio>

namespace standin::desktop {

// Installs the wait script and hang handler; keys are read from inputFd,
// windows and hangs are reported to report.
void InstallProgramDesktop(int inputFd, std::FILE* report);

}  // namespace standin::desktop
