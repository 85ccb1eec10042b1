// runs: button programs, display lines and the automatic program.
#include "runs.h"

#include <string>

#include "calculator/classify.h"
#include "calculator/prelude.h"
#include "calculator/display.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "formcalc.h"
#include "wbexecalc.h"
#include "memo.h"
#include "platform/input.h"
#include "platform/sound.h"

namespace {

// The stop or close request held for the runs in progress (erNone when none).
int32_t heldStop = erNone;
// Whether a stop came among them.
bool stopAsked = false;
// Set while the prelude runs: one cut short would leave the host-command
// subs half defined.
int preludeRuns = 0;

void ShowStopButton(bool shown) { FormCalc->WSysButton1->setVisible(shown); }

// Runs a text through the library; `subName` is cleared first when asked.
void RunText(const std::u16string& text, bool clearSubName) {
  const bool outermost = !RunActive();
  if (outermost) {
    heldStop = erNone;
    stopAsked = false;
  } else if (heldStop != erNone) {
    Block->errorCode = heldStop;
    return;
  }
  if (clearSubName) Block->subName = u"";
  Block->Sub(text.c_str());
  // Whatever the last nested run left, the outermost one ends stopped or
  // closing, as asked.
  if (outermost && Block != nullptr && heldStop != erNone) {
    Block->errorCode = heldStop;
    heldStop = erNone;
  }
  if (outermost) stopAsked = false;
}

bool ExitRequested() { return Block != nullptr && Block->errorCode == erExit; }

void CloseMainWindow() { FormCalc->close(); }

// Window events handled between runs may have closed the window, and with it
// freed the block.
bool Closed() { return Block == nullptr; }

}  // namespace

bool RunActive() {
  return Block != nullptr && (Block->state == rsRunning || Block->state == rsPaused);
}

void RequestStop(int32_t code) {
  if (Block == nullptr) return;
  if (RunActive()) {
    if (code == erStop) stopAsked = true;
    if (heldStop != erExit) heldStop = code;
  }
  if (preludeRuns == 0) Block->errorCode = code;
}

void RenewStop() {
  if (Block != nullptr && heldStop != erNone && preludeRuns == 0) Block->errorCode = heldStop;
}

bool StopHeld() { return heldStop != erNone; }

bool StopAsked() { return stopAsked; }

void ForgetStop() {
  heldStop = erNone;
  stopAsked = false;
}

int32_t RunPrelude() {
  if (Block == nullptr) return 0;
  ++preludeRuns;
  struct Done {
    ~Done() {
      --preludeRuns;
      RenewStop();
    }
  } done;
  return SendPrelude(*Block);
}

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
