// vekfuzz: the libFuzzer target of the lexer and the engine.
// libFuzzer target: arbitrary bytes as a script text, through the lexer and
// then through a fresh headless host per input.
// The first byte chooses the encoding: even, the rest is UTF-16LE; odd, the
// rest is CP932 text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "interpreter/wword.h"
#include "platform/heap.h"
#include "platform/input.h"
#include "platform/text.h"
#include "tools/vekhost.h"

extern "C" int32_t WBExec(wbexe* block, const char16_t* text);
extern "C" int32_t WBSub(wbexe* block, const char16_t* text);

namespace {

std::u16string Decode(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  if (data[0] % 2 == 0) {
    std::u16string text((size - 1) / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), data + 1, text.size() * 2);
    return text;
  }
  return platform::FromAnsi(
      std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
}

void Lex(const std::u16string& text) {
  wword* lexer = new wword(text.c_str());
  // Every token moves the lexer on, so a text of n units ends within n + 1
  // tokens; a lexer that stands still shows up as a hang.
  for (;;) {
    const int32_t token = lexer->Next();
    if (token == tkEnd) break;
    if (lexer->pos < 0 || static_cast<size_t>(lexer->pos) > text.size()) std::abort();
  }
  lexer->SetText(text.c_str());
  for (int32_t token = lexer->SkipItem(); token != tkEnd && token != tkError;
       token = lexer->SkipItem()) {
  }
  delete lexer;
}

// Keywords that would reach outside the process or its scratch folder, or
// sleep: a fuzzed text must not delete files or start programs.
const char16_t* const kWithheld[] = {u"RUN",   u"WAIT",   u"KILL",  u"RENAME", u"COPY",
                                     u"MKDIR", u"CHDIR",  u"WRITE", u"WRITEB", u"BEEP"};

constexpr long kAllocationBudget = 1000000;

void Execute(const std::u16string& text) {
  HeadlessHost::Options options;
  options.stepLimit = 2000;
  options.exec = WBExec;
  options.sub = WBSub;
  options.output = [](std::string_view) {};
  options.errors = [](std::string_view) {};
  HeadlessHost host(std::move(options));
  // Nobody resumes a STOP pause here: end it at its first step request.
  host.SetStepHook([](HeadlessHost& h) {
    if (h.block()->state == rsPaused) h.block()->errorCode = erStop;
  });
  for (const char16_t* name : kWithheld) host.block()->names.Remove(name);
  // A script may legitimately build structures that double with every
  // statement; past the budget its allocations fail and the run ends with
  // the memory error instead of exhausting the machine.
  platform::FailGlobalAllocAfter(kAllocationBudget);
  host.Run(text);
  // A second run against what the first left behind (globals, subs, stack).
  host.Run(text);
  platform::FailGlobalAllocAfter(-1);
  // The headless input back end keeps every key and mouse event it is sent.
  platform::ClearRecordedInput();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string text = Decode(data, size);
  Lex(text);
  Execute(text);
  return 0;
}
