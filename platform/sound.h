// sound: the speaker.
#pragma once

#include "platform/api.h"

extern "C" {
// Hands the tone to the back end.
PLATFORM_API BOOL Beep(DWORD frequency, DWORD milliseconds);
}

namespace platform {
// The headless default is silent.
class PLATFORM_API SoundBackend {
public:
  virtual ~SoundBackend();
  virtual void Beep(DWORD frequency, DWORD milliseconds);
};
// Null restores the headless default.
PLATFORM_API void SetSoundBackend(SoundBackend* backend);
}  // namespace platform
