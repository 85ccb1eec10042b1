// system: timing.
#pragma once

#include "platform/api.h"

extern "C" {
PLATFORM_API void Sleep(DWORD milliseconds);
}
