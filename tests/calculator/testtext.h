// Small helpers for tests on UTF-16 texts and file bytes.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>

// A byte string literal with its embedded zeros.
template <size_t N>
std::string Bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}

// A UTF-16 text for failure messages: ASCII as it is, the rest as \uXXXX.
inline std::string Show(const std::u16string& s) {
  std::string out = "\"";
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
      out += buf;
    }
  }
  return out + "\"";
}
