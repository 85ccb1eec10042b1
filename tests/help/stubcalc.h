// A stand-in for the calculator behind a headless host: it answers the
// interpreter reset with the calculator's prelude of host-command subs and serves the
// host commands that need no window (buttons, options, number formats,
// mathematics) the way the calculator does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "calculator/display.h"
#include "tools/vekhost.h"

class wini;

class StubCalculator {
public:
  StubCalculator();
  ~StubCalculator();
  // Installs the stub into options; the host must not outlive the stub.
  void Attach(HeadlessHost::Options& options);
  // Printed text then goes into `display` as into the calculator's display,
  // and the display-line commands (22, 23) work on it.
  void AttachDisplay(HeadlessHost::Options& options);

  // What pressing a button with this program does, and what Enter does on
  // the display's current line, as the calculator's runs do them.
  void Press(HeadlessHost& host, const std::u16string& program);
  void Enter(HeadlessHost& host);
  // The button table: line 0 the automatic program, 1 to 70 the buttons.
  wini& table() { return *table_; }

  DisplayState display;

private:
  bool Serve(HeadlessHost& host, int32_t code);
  void Command(wbexe* block, int32_t n);

  std::unique_ptr<wini> table_;
  int32_t current_ = 1;
  int32_t options_[11] = {};
};
