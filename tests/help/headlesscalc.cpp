#include "headlesscalc.h"

#include "calculator/calcfile.h"
#include "calculator/classify.h"
#include "calculator/prelude.h"
#include "interpreter/wbexe.h"
#include "platform/text.h"

HeadlessCalculator::HeadlessCalculator() {
  for (int i = 0; i <= 70; ++i) table_.AddLine(wvar(u""));
  ApplyLoadDefaults(setting);
}

void HeadlessCalculator::Attach(HeadlessHost::Options& options) {
  options.serve = [this](HeadlessHost& host, int32_t code) { return Serve(host, code); };
}

void HeadlessCalculator::AttachDisplay(HeadlessHost::Options& options) {
  Attach(options);
  options.output = [this](std::string_view text) {
    ApplyPrint(display, PrintSteps(platform::FromUtf8(text)));
  };
}

void HeadlessCalculator::Press(HeadlessHost& host, const std::u16string& program) {
  const int32_t kind = ClassifyText(program);
  if (kind == tkBlank) return;
  if (kind == tkExecLine) {
    Enter(host);
  } else if (kind == tkStatement) {
    host.Run(program);
  } else {
    host.Run(TypingScript(program));
  }
}

void HeadlessCalculator::Enter(HeadlessHost& host) {
  const std::u16string line = ReadCurrentLine(display.text, display.selStart);
  const int32_t kind = ClassifyText(line);
  if (kind == tkBlank) return;
  if (kind == tkNumber) {
    host.Run(NumberLineScript(line));
    display = ::AdvanceDisplayLine(display.text, display.selStart);
    return;
  }
  display = ::AdvanceDisplayLine(display.text, display.selStart);
  host.Run(LineScript(kind, line));
  if (host.block()->errorCode != 0) return;
  const std::u16string printed = ReadCurrentLine(display.text, display.selStart);
  if (ClassifyText(printed) == tkNumber) host.Run(ResultToAnsScript(printed));
}

bool HeadlessCalculator::Serve(HeadlessHost& host, int32_t code) {
  wbexe* block = host.block();
  if (code == rqControl && block->request[1].value.AsInt() == ccReset) {
    const std::u16string prelude = PreludeText();
    block->Sub(prelude.c_str());
    return true;
  }
  if (code == rqCommand) {
    CommandContext context{*block, setting, table_, current_, *this};
    RunHostCommand(block->request[1].value.AsInt(), context);
    return true;
  }
  return false;
}

void HeadlessCalculator::SaveCalcFile(const std::u16string& path) {
  WriteCalcFile(path, setting, table_, CalcWindowPos{});
}

// The automatic program of the loaded file does not run.
void HeadlessCalculator::OpenCalcFile(const std::u16string& path) {
  CalcWindowPos pos;
  const CalcFileRead read = ReadCalcFile(path, setting, table_, pos);
  if (read.loaded) setting.currentPath = read.path.c_str();
}

std::u16string HeadlessCalculator::CurrentLine() {
  return ReadCurrentLine(display.text, display.selStart);
}

void HeadlessCalculator::AdvanceDisplayLine() {
  display = ::AdvanceDisplayLine(display.text, display.selStart);
}
