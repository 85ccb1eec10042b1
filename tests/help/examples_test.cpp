// Every example of the help document runs as shown: what the display shows
// afterwards, and the message a failing example reports.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "helpdoc.h"
#include "platform/text.h"
#include "headlesscalc.h"
#include "tools/vekhost.h"

namespace {

// The display after the printed pieces: ESC "*" empties it, line ends are
// compared as LF.
std::string Display(const std::string& printed) {
  std::string shown;
  for (size_t i = 0; i < printed.size(); ++i) {
    if (printed[i] == '\x1b' && i + 1 < printed.size() && printed[i + 1] == '*') {
      shown.clear();
      ++i;
    } else if (printed[i] != '\r') {
      shown += printed[i];
    }
  }
  return shown;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \n") + 1 - first);
}

struct Outcome {
  std::string display;
  std::string messages;
};

// Runs one example in a fresh folder of its own, as a button program would,
// with or without the calculator's prelude and host commands behind it.
Outcome RunExample(const HelpExample& example, bool withCalculator) {
  char name[] = "/tmp/zimro-help-XXXXXX";
  if (mkdtemp(name) == nullptr) return {"<no folder>", ""};
  const std::string dir = name;
  if (chdir(dir.c_str()) != 0) return {"<no folder>", ""};
  setenv("XDG_DATA_HOME", (dir + "/home").c_str(), 1);

  HeadlessCalculator calculator;
  HeadlessHost::Options options;
  for (const std::string& line : example.input) options.inputLines.push_back(platform::FromUtf8(line));
  options.stepLimit = 1000000;
  if (withCalculator) calculator.Attach(options);
  Outcome outcome;
  {
    HeadlessHost host(options);
    // A STOP pause is resumed at once, as the stop button would.
    host.SetStepHook([](HeadlessHost& h) {
      if (h.block()->state == rsPaused) h.block()->state = rsRunning;
    });
    host.ClearText();
    host.RunUtf8(example.program);
    outcome = {Display(host.output()), host.errors()};
  }
  if (chdir("/") == 0) std::system(("rm -rf '" + dir + "'").c_str());
  return outcome;
}

std::string Where(const HelpExample& example) {
  return example.page + ":" + std::to_string(example.line) + "\n" + example.program;
}

std::vector<HelpExample> Examples() {
  std::vector<std::string> problems;
  std::vector<HelpExample> examples = HelpExamples(problems);
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  return examples;
}

}  // namespace

TEST(HelpExamples, TheDocumentHasExamples) {
  const std::vector<HelpExample> examples = Examples();
  ASSERT_FALSE(examples.empty()) << "no examples under " << HelpDir();
  bool some = false, someCalculator = false;
  for (const HelpExample& example : examples) (example.needsCalculator ? someCalculator : some) = true;
  EXPECT_TRUE(some);
  EXPECT_TRUE(someCalculator);
}

// In the calculator every script has the prelude behind it.
TEST(HelpExamples, EveryExampleShowsWhatTheHelpSays) {
  for (const HelpExample& example : Examples()) {
    const Outcome outcome = RunExample(example, true);
    EXPECT_EQ(outcome.display, example.output) << Where(example);
    if (example.hasMessage) {
      EXPECT_EQ(Trim(outcome.messages), Trim(example.message)) << Where(example);
    } else {
      EXPECT_EQ(outcome.messages, "") << Where(example);
    }
  }
}

// Examples not marked as needing the calculator run through the library
// alone, as vekrun runs them.
TEST(HelpExamples, PlainExamplesNeedNoCalculator) {
  for (const HelpExample& example : Examples()) {
    if (example.needsCalculator) continue;
    const Outcome outcome = RunExample(example, false);
    EXPECT_EQ(outcome.display, example.output) << Where(example);
    EXPECT_EQ(Trim(outcome.messages), example.hasMessage ? Trim(example.message) : "")
        << Where(example);
  }
}
