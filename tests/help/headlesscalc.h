// The calculator behind a headless host: it answers the interpreter reset
// with the calculator's prelude and serves the host commands through the
// calculator's own command table, on a display of text, without a window.
#pragma once

#include <cstdint>
#include <string>

#include "calculator/commandtable.h"
#include "calculator/display.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "tools/vekhost.h"

class HeadlessCalculator : private HostSide {
public:
  // An empty button table and the settings a load of a file without any
  // gives.
  HeadlessCalculator();
  // Installs the calculator into options; the host must not outlive it.
  void Attach(HeadlessHost::Options& options);
  // Printed text then goes into `display` as into the calculator's display.
  void AttachDisplay(HeadlessHost::Options& options);

  // What pressing a button with this program does, and what Enter does on
  // the display's current line, as the calculator's runs do them.
  void Press(HeadlessHost& host, const std::u16string& program);
  void Enter(HeadlessHost& host);
  // The button table: line 0 the automatic program, 1 to 70 the buttons.
  wini& table() { return table_; }

  DisplayState display;
  wsetting setting;

private:
  bool Serve(HeadlessHost& host, int32_t code);

  // The window's side: what needs no window is done on the display of
  // text and the files; the rest (dialogs, clipboard, help) does nothing.
  void ShowButton(int32_t) override {}
  void RefuseTooLarge() override {}
  void RefreshButtons() override {}
  void ApplyStayOnTop() override {}
  void SaveCalcFile(const std::u16string& path) override;
  void OpenCalcFile(const std::u16string& path) override;
  void EditButtonData(int32_t) override {}
  void CopyButtonToClipboard(int32_t) override {}
  void PasteButtonFromClipboard() override {}
  void ClearButton() override {}
  void DispOption() override {}
  void ShowHelpContents() override {}
  std::u16string CurrentLine() override;
  void AdvanceDisplayLine() override;
  void ExecCurrentLine() override {}
  // No button can be pressed: InputButton's wait ends at once with the
  // current button.
  bool WaitStep() override {
    setting.inputWait = 0;
    return true;
  }

  wini table_;
  int32_t current_ = 1;
};
