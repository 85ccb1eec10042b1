#include "tools/vekhost.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "interpreter/tokens.h"
#include "platform/exceptions.h"

namespace {

TEST(HeadlessHost, BindsTheLibraryAndPrintsEachValueAsIs) {
  HeadlessHost host;
  ASSERT_TRUE(host.libraryLoaded());
  EXPECT_EQ(host.block()->state, rsFinished);
  // No line end is added and CR reaches the sink.
  EXPECT_EQ(host.Run(u"PRINT \"a\\r\\nb\", 1\nPRINT \"電卓\""), tkEnd);
  EXPECT_EQ(host.output(), "a\r\nb1電卓");
  EXPECT_EQ(host.errors(), "");
  EXPECT_EQ(host.lastErrorCode(), erNone);
}

TEST(HeadlessHost, ErrorReportGoesToTheErrorSinkWithALineFeed) {
  HeadlessHost host;
  EXPECT_EQ(host.Run(u"PRINT 1\n\nPRINT nosuch"), tkError);
  EXPECT_EQ(host.output(), "1");
  EXPECT_EQ(host.errors(), "\n 3 NOSUCH: undefined error\n");
  EXPECT_EQ(host.lastErrorCode(), erUndefined);
  // Globals persist between runs; statuses are kept in order.
  EXPECT_EQ(host.Run(u"DIM g = 5"), tkEnd);
  host.ClearText();
  EXPECT_EQ(host.Run(u"PRINT g"), tkEnd);
  EXPECT_EQ(host.output(), "5");
  EXPECT_EQ(host.statuses(), (std::vector<int32_t>{tkError, tkEnd, tkEnd}));
}

TEST(HeadlessHost, InputAnswersQueuedLinesThenTheSourceThenEmptyText) {
  HeadlessHost::Options options;
  options.inputLines = {u"42", u"two\r\n"};
  int asked = 0;
  options.input = [&asked](std::u16string& line) {
    if (++asked > 1) return false;
    line = u"from source\n";
    return true;
  };
  HeadlessHost host(std::move(options));
  EXPECT_EQ(host.Run(u"DIM a, b, c, d\nINPUT \"?\", a, b, c, d\n"
                     u"PRINT a + 1, \"|\", b, \"|\", c, \"|\", d, \"|\""),
            tkEnd);
  EXPECT_EQ(host.output(), "43|two|from source||");
  EXPECT_EQ(asked, 2);
}

TEST(HeadlessHost, StepLimitStopsAnEndlessLoopSilently) {
  HeadlessHost::Options options;
  options.stepLimit = 1000;
  HeadlessHost host(std::move(options));
  EXPECT_EQ(host.Run(u"DIM n = 0\nWHILE 1 { n = n + 1 }"), tkError);
  EXPECT_EQ(host.lastErrorCode(), erStop);
  EXPECT_EQ(host.errors(), "");
  // Each run has its own allowance.
  EXPECT_EQ(host.Run(u"PRINT n > 100"), tkEnd);
  EXPECT_EQ(host.output(), "-1");
}

TEST(HeadlessHost, StepHookResumesAStopPauseWhileTheTitleShowsIt) {
  HeadlessHost::Options options;
  options.title = u"電卓";
  HeadlessHost host(std::move(options));
  std::u16string pausedTitle;
  host.SetStepHook([&pausedTitle](HeadlessHost& h) {
    if (h.block()->state == rsPaused) {
      pausedTitle = h.title();
      h.block()->state = rsRunning;
    }
  });
  EXPECT_EQ(host.Run(u"PRINT \"a\"\nSTOP\nPRINT \"b\""), tkEnd);
  EXPECT_EQ(host.output(), "ab");
  EXPECT_EQ(pausedTitle, u"電卓 - STOP");
  EXPECT_EQ(host.title(), u"電卓");
}

TEST(HeadlessHost, MessagesAreAnsweredYesOrNo) {
  for (bool no : {false, true}) {
    HeadlessHost::Options options;
    options.answerNo = no;
    HeadlessHost host(std::move(options));
    EXPECT_EQ(host.Run(u"PRINT MSG(\"続けますか\")"), tkEnd);
    EXPECT_EQ(host.errors(), "続けますか\n");
    EXPECT_EQ(host.output(), no ? "0" : "1");
  }
}

TEST(HeadlessHost, EndAndExitLeaveTheirCodesWithoutAMessage) {
  HeadlessHost host;
  EXPECT_EQ(host.Run(u"END\nPRINT 1"), tkError);
  EXPECT_EQ(host.lastErrorCode(), erStop);
  EXPECT_EQ(host.Run(u"EXIT"), tkError);
  EXPECT_EQ(host.lastErrorCode(), erExit);
  EXPECT_EQ(host.output(), "");
  EXPECT_EQ(host.errors(), "");
}

TEST(HeadlessHost, AnExceptionFromTheLibraryShowsTheBindingBoxAndYieldsZero) {
  HeadlessHost::Options options;
  options.exec = [](wbexe*, const char16_t*) -> int32_t { throw EOutOfMemory(); };
  options.sub = [](wbexe*, const char16_t*) -> int32_t { throw EOutOfMemory(); };
  HeadlessHost host(std::move(options));
  EXPECT_EQ(host.errors(), "WB: cannot load VEK \n");
  EXPECT_EQ(host.Run(u"PRINT 1"), 0);
  EXPECT_EQ(host.errors(), "WB: cannot load VEK \nWB: cannot load VEK\n");
}

// The fuzz run's dictionary names every keyword the block registers, so the
// fuzzer writes each statement and built-in from its first minutes on.
TEST(FuzzDictionary, HoldsEveryKeyword) {
  std::ifstream in(FUZZ_DICTIONARY);
  ASSERT_TRUE(in) << FUZZ_DICTIONARY;
  std::set<std::string> words;
  for (std::string line; std::getline(in, line);) {
    const size_t open = line.find('"');
    if (line.empty() || line[0] == '#' || open == std::string::npos) continue;
    words.insert(line.substr(open + 1, line.rfind('"') - open - 1));
  }
  HeadlessHost host;
  const whash& names = host.block()->names;
  std::set<std::string> keywords;
  for (int32_t b = 0; b < names.size; ++b) {
    for (const wcell* c = names.buckets[b]; c != nullptr; c = c->next) {
      if (c->kind == ckStatement || c->kind == ckFunction) {
        const std::u16string name = c->name.Chars();
        keywords.insert(std::string(name.begin(), name.end()));
      }
    }
  }
  EXPECT_EQ(keywords.size(), 91u);
  for (const std::string& k : keywords) EXPECT_EQ(words.count(k), 1u) << k;
  for (const char* p : {"==", "!=", ">=", "<=", "(", ")", "[", "]", "{", "}", ",", ".", ":", "'"})
    EXPECT_EQ(words.count(p), 1u) << p;
}

}  // namespace
