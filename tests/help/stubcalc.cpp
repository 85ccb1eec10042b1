#include "stubcalc.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "calculator/classify.h"
#include "calculator/numformat.h"
#include "calculator/prelude.h"
#include "calculator/wini.h"
#include "platform/text.h"

namespace {
// Ranges of the ten options (0 .. 10), and their values after a load of a
// file without settings.
struct OptionRange {
  int32_t low, high, initial;
};
constexpr OptionRange kOptions[11] = {
    {0, 0, 0},       {0, 1, 1},     {0, 1, 0},    {0, 10, 0},      {0, 4, 2},
    {0, 4, 0},       {0, 4, 4},     {130, INT32_MAX, 150}, {30, INT32_MAX, 60},
    {8, 36, 11},     {INT32_MIN, INT32_MAX, 0x984E00},
};
constexpr int32_t kTextColor = 0;
constexpr int32_t kButtonColor = 0xC0C0C0;
}  // namespace

StubCalculator::StubCalculator() : table_(std::make_unique<wini>()) {
  for (int i = 0; i <= 70; ++i) table_->AddLine(wvar(u""));
  for (int i = 0; i <= 10; ++i) options_[i] = kOptions[i].initial;
}

StubCalculator::~StubCalculator() = default;

void StubCalculator::Attach(HeadlessHost::Options& options) {
  options.serve = [this](HeadlessHost& host, int32_t code) { return Serve(host, code); };
}

void StubCalculator::AttachDisplay(HeadlessHost::Options& options) {
  Attach(options);
  options.output = [this](std::string_view text) {
    ApplyPrint(display, PrintSteps(platform::FromUtf8(text)));
  };
}

void StubCalculator::Press(HeadlessHost& host, const std::u16string& program) {
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

void StubCalculator::Enter(HeadlessHost& host) {
  const std::u16string line = ReadCurrentLine(display.text, display.selStart);
  const int32_t kind = ClassifyText(line);
  if (kind == tkBlank) return;
  if (kind == tkNumber) {
    host.Run(NumberLineScript(line));
    display = AdvanceDisplayLine(display.text, display.selStart);
    return;
  }
  display = AdvanceDisplayLine(display.text, display.selStart);
  host.Run(LineScript(kind, line));
  if (host.block()->errorCode != 0) return;
  const std::u16string printed = ReadCurrentLine(display.text, display.selStart);
  if (ClassifyText(printed) == tkNumber) host.Run(ResultToAnsScript(printed));
}

bool StubCalculator::Serve(HeadlessHost& host, int32_t code) {
  wbexe* block = host.block();
  if (code == rqControl && block->request[1].value.AsInt() == ccReset) {
    const std::u16string prelude = PreludeText();
    block->Sub(prelude.c_str());
    return true;
  }
  if (code == rqCommand) {
    Command(block, block->request[1].value.AsInt());
    return true;
  }
  return false;
}

void StubCalculator::Command(wbexe* block, int32_t n) {
  wvar& a1 = block->request[2].value;
  wvar& a2 = block->request[3].value;
  wvar& result = block->request[2].value;
  switch (n) {
    case 1:
      current_ = std::clamp(a1.AsInt(), 1, 70);
      break;
    case 2:
    case 3: {
      wvar text(a1.AsString());
      text.ReplaceAll(wvar(u"\n"), wvar(u"\r\n"));
      text.ReplaceAll(wvar(u"\r\r"), wvar(u"\r"));
      table_->SetField(current_, n == 2 ? 1 : 5, text);
      break;
    }
    case 4:
    case 5: {
      const int32_t colour = a1.AsInt();
      char hex[16];
      std::snprintf(hex, sizeof hex, "%06x", static_cast<unsigned>(colour));
      wvar field;  // the integer 0 removes the field
      if (colour != 0) field = hex;
      table_->SetField(current_, n == 4 ? 2 : 3, field);
      break;
    }
    case 6:
      result = current_;
      break;
    case 7:
    case 8:
      result = wvar(table_->GetField(current_, n == 7 ? 1 : 5));
      break;
    case 9:
    case 10: {
      wvar field(table_->GetField(current_, n == 9 ? 2 : 3));
      const std::u16string text = field.AsString();
      result = text.empty() ? (n == 9 ? kTextColor : kButtonColor)
                            : static_cast<int32_t>(std::strtol(
                                  std::string(text.begin(), text.end()).c_str(), nullptr, 16));
      break;
    }
    case 20: {
      const int32_t option = a1.AsInt(), value = a2.AsInt();
      if (option >= 1 && option <= 10 && value >= kOptions[option].low &&
          value <= kOptions[option].high)
        options_[option] = value;
      break;
    }
    case 21: {
      const int32_t option = a1.AsInt();
      if (option >= 1 && option <= 10) result = options_[option];
      break;
    }
    case 22: {
      const std::u16string line = ReadCurrentLine(display.text, display.selStart);
      result = line.c_str();
      break;
    }
    case 23:
      display = AdvanceDisplayLine(display.text, display.selStart);
      break;
    case 26: {
      const std::u16string text = FormatExponent(a1.AsReal(), a2.AsInt());
      result = text.c_str();
      break;
    }
    case 27: {
      std::u16string text;
      FormatFixed(a1.AsReal(), a2.AsInt(), text);
      result = text.c_str();
      result.Lower();
      break;
    }
    case 29: result = std::asin(a1.AsReal()); break;
    case 30: result = std::acos(a1.AsReal()); break;
    case 31: result = std::sinh(a1.AsReal()); break;
    case 32: result = std::cosh(a1.AsReal()); break;
    case 33: result = std::tanh(a1.AsReal()); break;
    default:
      // The commands that need the window are not examples of the help.
      break;
  }
}
