// exceptions: the exceptions that cross binaries.
#include "platform/exceptions.h"

// Defined out of line so that the type information lives in this library
// alone and a throw in one binary is caught by its type in another.
const char* EOutOfMemory::what() const noexcept { return "Out of memory"; }
