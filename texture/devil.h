// The image library's headers, as every platform of this build can use them.
#pragma once

// DevIL's headers mark their functions dllimport whenever _WIN32 is defined.
// A Winelib program defines _WIN32 but links Debian's ELF library, where the
// attribute means nothing and draws a warning; on Windows the functions
// resolve through the import library without it. Plain declarations serve
// every platform.
#ifndef IL_STATIC_LIB
#define IL_STATIC_LIB
#endif
#include <IL/il.h>
#include <IL/ilu.h>
