// runs: button programs, display lines and the automatic program.
#include "runs.h"

#include <string>

#include "calculator/classify.h"
#include "calculator/display.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "formcalc.h"
#include "interpreter/wbexe.h"
#include "memo.h"
#include "platform/input.h"
#include "platform/sound.h"

namespace {

void ShowStopButton(bool shown) { FormCalc->WSysButton1->setVisible(shown); }

// Runs a text through the library; `subName` is cleared first when asked.
void RunText(const std::u16string& text, bool clearSubName) {
  if (clearSubName) Block->subName = u"";
  Block->Sub(text.c_str());
}

bool ExitRequested() { return Block != nullptr && Block->errorCode == erExit; }

void CloseMainWindow() { FormCalc->close(); }

// Window events handled between runs may have closed the window, and with it
// freed the block.
bool Closed() { return Block == nullptr; }

}  // namespace

int RunButtonProgram(const std::u16string& text) {
  TMemo* memo = FormCalc->MemoOut;
  if (memo->isEnabled() && memo->isVisible()) memo->setFocus();
  if (Block->state == rsRunning) {
    Beep(2000, 100);
    return 0;
  }
  const int kind = ClassifyText(text);
  if (kind == tkBlank) return 0;
  if (kind == tkExecLine) {
    ExecCurrentLine();
    return 0;
  }
  std::u16string program = text;
  if (kind == tkStatement) {
    ShowStopButton(true);
    FormCalc->ProcessMessages();
    if (Closed()) return 0;
  } else {
    program = TypingScript(text);
  }
  RunText(program, true);
  ShowStopButton(false);
  FormCalc->ProcessMessages();
  if (ExitRequested()) CloseMainWindow();
  return 0;
}

int ExecCurrentLine() {
  std::u16string line = ReadCurrentLine();
  const int kind = ClassifyText(line);
  if (kind == tkBlank) return 0;
  if (kind == tkNumber) {
    RunText(NumberLineScript(line), false);
    AdvanceDisplayLine();
    return 0;
  }
  line = LineScript(kind, line);
  AdvanceDisplayLine();
  if (kind == tkStatement) {
    ShowStopButton(true);
    FormCalc->ProcessMessages();
    if (Closed()) return 0;
  }
  RunText(line, true);
  FormCalc->ProcessMessages();
  ShowStopButton(false);
  if (Closed()) return 0;
  if (ExitRequested()) {
    CloseMainWindow();
    return 0;
  }
  if (Block->errorCode != erNone) return 0;
  const std::u16string printed = ReadCurrentLine();
  if (ClassifyText(printed) == tkNumber) RunText(ResultToAnsScript(printed), false);
  return 0;
}

int RunAutoProgram() {
  if (GetKeyState(VK_SHIFT) & 0x80) {
    Beep(2000, 100);
    return 0;
  }
  const std::u16string program = ButtonTable->GetField(0, 5).AsString();
  if (program.empty()) return 0;
  FormCalc->ProcessMessages();
  if (Closed()) return 0;
  FormCalc->MemoOut->SetText(u"");
  if (Block->state == rsRunning) {
    RunText(program, false);
  } else {
    ShowStopButton(true);
    RunText(program, false);
    ShowStopButton(false);
  }
  FormCalc->ProcessMessages();
  if (ExitRequested()) CloseMainWindow();
  return 0;
}

std::u16string ReadCurrentLine() { return FormCalc->MemoOut->CurrentLine(); }

void ReadCurrentLine(wvar& text) { text = ReadCurrentLine().c_str(); }

int AdvanceDisplayLine() {
  FormCalc->MemoOut->AdvanceLine();
  return 0;
}

int CmdGetCurrentLine() {
  Block->request[2].value = ReadCurrentLine().c_str();
  return 0;
}
