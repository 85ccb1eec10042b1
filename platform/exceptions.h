// exceptions: the exceptions that cross binaries.
// Exceptions that stand for the class library's: thrown by one binary of the
// process and caught by another, so their type information lives here once.
#pragma once

#include <exception>

#include "platform/api.h"

class PLATFORM_API EOutOfMemory : public std::exception {
public:
  const char* what() const noexcept override;
};
