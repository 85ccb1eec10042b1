// module: libraries loaded at run time.
#pragma once

#include "platform/api.h"

extern "C" {
// A bare file name is looked for beside the running program first.
PLATFORM_API HMODULE LoadLibraryA(const char* fileName);
PLATFORM_API void* GetProcAddress(HMODULE module, const char* name);
PLATFORM_API BOOL FreeLibrary(HMODULE module);
}
