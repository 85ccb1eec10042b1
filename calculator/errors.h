// errors: the exceptions of the calculator's data routines.
// Exceptions of the calculator's data routines. They reach the class-library
// style exception box (or a host command's catch-all) with their message.
#pragma once

#include <stdexcept>
#include <string>

// A line index outside the list.
class EListError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A file that cannot be read or written.
class EFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class EFOpenError : public EFileError {
public:
  using EFileError::EFileError;
};

class EFCreateError : public EFileError {
public:
  using EFileError::EFileError;
};

// A text that does not convert to the value asked for.
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
