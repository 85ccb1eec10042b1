// A stand-in for the calculator behind a headless host: it answers the
// interpreter reset with the calculator's prelude of host-command subs and serves the
// host commands that need no window (buttons, options, number formats,
// mathematics) the way the calculator does.
#pragma once

#include <cstdint>
#include <memory>

#include "tools/vekhost.h"

class wini;

class StubCalculator {
public:
  StubCalculator();
  ~StubCalculator();
  // Installs the stub into options; the host must not outlive the stub.
  void Attach(HeadlessHost::Options& options);

private:
  bool Serve(HeadlessHost& host, int32_t code);
  void Command(wbexe* block, int32_t n);

  std::unique_ptr<wini> table_;
  int32_t current_ = 1;
  int32_t options_[11] = {};
};
