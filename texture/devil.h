// The image library's headers, as every platform of this build can use them.
#pragma once

// DevIL's headers mark their functions dllimport whenever _WIN32 is defined.
// That is right on Windows, where they come from DevIL's DLLs. A Winelib
// program defines _WIN32 too but links Debian's ELF library, where the
// attribute has no meaning: there the declarations stay plain.
#if defined(__WINE__) && !defined(IL_STATIC_LIB)
#define IL_STATIC_LIB
#endif
#include <IL/il.h>
#include <IL/ilu.h>
