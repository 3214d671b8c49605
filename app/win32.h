// The one place the system meets the Win32 platform: Windows' own headers
// on Windows and Wine, the stand-in's declarations on the stand-in build.
#pragma once

#if defined(BLENDPROBE_STANDIN)
#include "standin/win32/api.h"
#else
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// Without it windows.h defines min and max as macros, which break the C++
// library headers included after it.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
