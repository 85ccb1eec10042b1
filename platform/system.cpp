// system: timing.
#include "platform/system.h"

#include <cerrno>
#include <ctime>

extern "C" {

void Sleep(DWORD milliseconds) {
  timespec left{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  // A signal cuts nanosleep short; sleep out the rest.
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // extern "C"
