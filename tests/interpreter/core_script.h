// Runs script texts through the headless host, as the calculator does, and
// collects what the user would see.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tools/vekhost.h"

struct ScriptResult {
  int32_t status;
  int32_t errorCode;
  std::string output;
  std::string errors;
};

inline ScriptResult RunScript(const std::string& text, HeadlessHost::Options options = {}) {
  HeadlessHost host(std::move(options));
  ScriptResult r;
  r.status = host.RunUtf8(text);
  r.errorCode = host.lastErrorCode();
  r.output = host.output();
  r.errors = host.errors();
  return r;
}

// One script with what it prints and the messages it shows.
struct ScriptCase {
  const char* script;
  const char* output;
  const char* errors;
};

inline void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.script; }

inline void ExpectScript(const ScriptCase& c) {
  const ScriptResult r = RunScript(c.script);
  EXPECT_EQ(r.output, c.output) << c.script;
  EXPECT_EQ(r.errors, c.errors) << c.script;
}
