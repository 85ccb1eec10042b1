// hostcommands: the host commands behind #cmd on the main window.
#include <string>

#include "calculator/commandtable.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "formcalc.h"
#include "hooks.h"
#include "wbexecalc.h"
#include "loadcalc.h"
#include "memo.h"
#include "platform/system.h"
#include "runs.h"
#include "sessionend.h"
#include "wbtn.h"

namespace {

// The command table's window side: the main window's own routines.
class FormSide : public HostSide {
public:
  void ShowButton(int32_t n) override { ::ShowButton(n); }
  void RefuseTooLarge() override { ReportButtonTooLarge(); }
  void RefreshButtons() override { ::RefreshButtons(); }
  void ApplyStayOnTop() override { ::ApplyStayOnTop(); }
  void SaveCalcFile(const std::u16string& path) override { ::SaveCalcFile(wvar(path.c_str())); }
  void OpenCalcFile(const std::u16string& path) override { ::OpenCalcFile(wvar(path.c_str())); }
  void EditButtonData(int32_t mode) override { ::EditButtonData(mode); }
  void CopyButtonToClipboard(int32_t what) override { ::CopyButtonToClipboard(what); }
  void PasteButtonFromClipboard() override { ::PasteButtonFromClipboard(); }
  void ClearButton() override { ::ClearButton(); }
  void DispOption() override {
    ShowOptionDialog();
    if (FormCalc != nullptr) FormCalc->MemoOut->setFocus();
  }
  void ShowHelpContents() override { ::ShowHelpContents(); }
  std::u16string CurrentLine() override { return ReadCurrentLine(); }
  void AdvanceDisplayLine() override { ::AdvanceDisplayLine(); }
  void ExecCurrentLine() override { ::ExecCurrentLine(); }
  // A stop that a close request outranked (the title strip's close button)
  // still ends the wait, and so does the session's end, which waits for no
  // button.
  bool WaitStep() override {
    Sleep(100);
    FormCalc->ProcessMessages();
    RenewStop();
    return !StopAsked() && !EndingBySignal();
  }
};

}  // namespace

int32_t wbexecalc::Command(int32_t n) {
  if (Setting == nullptr || ButtonTable == nullptr || ButtonSet == nullptr) return 0;
  FormSide side;
  CommandContext context{*this, *Setting, *ButtonTable, ButtonSet->current, side};
  return RunHostCommand(n, context);
}

