// sound: the speaker.
#include "platform/sound.h"

namespace {
platform::SoundBackend* installed = nullptr;
}

namespace platform {
SoundBackend::~SoundBackend() = default;
void SoundBackend::Beep(DWORD, DWORD) {}
void SetSoundBackend(SoundBackend* backend) { installed = backend; }
}  // namespace platform

extern "C" {
BOOL Beep(DWORD frequency, DWORD milliseconds) {
  static platform::SoundBackend silent;
  (installed ? installed : &silent)->Beep(frequency, milliseconds);
  return TRUE;
}
}
