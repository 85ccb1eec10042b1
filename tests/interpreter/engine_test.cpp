// The run engine: statuses, error reports, what each run restores, and the
// exception box.
#include "tests/interpreter/core_script.h"

#include <string>

#include "interpreter/engine.h"
#include "interpreter/guard.h"
#include "platform/heap.h"

extern "C" int32_t WBExec(wbexe* block, const char16_t* text);
extern "C" int32_t WBSub(wbexe* block, const char16_t* text);

namespace {

struct StatusCase {
  const char* script;
  int32_t status;
  const char* output;
  const char* errors;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.script; }

class EngineStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(EngineStatus, EndsWith) {
  const StatusCase& c = GetParam();
  const ScriptResult r = RunScript(c.script);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.output, c.output);
  EXPECT_EQ(r.errors, c.errors);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EngineStatus,
    testing::Values(
        StatusCase{"", 2, "", ""},
        StatusCase{"}", 2, "", ""},
        StatusCase{"PRINT 1 } PRINT 2", 2, "12", ""},
        StatusCase{"{ PRINT 1 { PRINT 2 } } PRINT 3", 2, "123", ""},
        StatusCase{"{ PRINT 1", 1, "1", "\n 1: unbalanced parentheses\n"},
        StatusCase{"PRINT 1\nBREAK\nPRINT 2", 37, "1", ""},
        StatusCase{"PRINT 1\nRETURN\nPRINT 2", 37, "1", ""},
        StatusCase{"{ RETURN } PRINT 2", 37, "", ""},
        // A leading parameter list names argument slots; a text run has none.
        StatusCase{"(a) PRINT 1", 1, "", "\n 1 A: undefined error\n"},
        StatusCase{"() PRINT 1", 2, "1", ""},
        StatusCase{"+ 1", 1, "", "\n 1 +: syntax error\n"},
        StatusCase{"PRINT 1\n\nPRINT zz", 1, "1", "\n 3 ZZ: undefined error\n"},
        StatusCase{"' comment }\n\"text\"", 1, "", "\n 2 text: syntax error\n"},
        // Reported once, by the innermost sub, at its own line.
        StatusCase{"SUB inner {\n  PRINT 1 / 0\n}\nSUB outer { inner() }\nouter()\nPRINT 9", 1, "",
                   "\nINNER 2: arithmetic error\n"},
        StatusCase{"SUB f {\n\n  zz = 1 }\nDIM i\nFOR i = 1 TO 3 { f() }", 1, "",
                   "\nF 3 ZZ: undefined error\n"}));

TEST(Engine, EmptyTextSendsOneStepRequestAndLeavesTheIntegerZero) {
  HeadlessHost host;
  EXPECT_EQ(host.Run(u""), 2);
  EXPECT_EQ(host.steps(), 1);
  EXPECT_EQ(host.block()->result.type, vtInt);
  EXPECT_EQ(host.block()->result.AsInt(), 0);
}

TEST(Engine, EveryStatementSendsOneStepRequest) {
  HeadlessHost host;
  // DIM, FOR, and per pass the body block, its statement and its "}".
  EXPECT_EQ(host.RunUtf8("DIM i\nFOR i = 1 TO 3 { i = i }"), 2);
  EXPECT_EQ(host.steps(), 2 + 3 * 3 + 1);
}

TEST(Engine, RunsRestoreWhatTheyChanged) {
  HeadlessHost host;
  wbexe* block = host.block();
  for (const char* text : {"DIM a, b\nSUB f(x) { DIM y = x\nRETURN(y) }\nPRINT f(1)",
                           "SUB g(x) { PRINT 1 / 0 }\nDIM c\ng(c)", "DIM d\nd.m = SUB { END }\nd.m()"}) {
    const char16_t* text0 = block->programText;
    const int32_t state0 = block->state;
    host.RunUtf8(text);
    EXPECT_EQ(block->stack.depth, 0) << text;
    EXPECT_EQ(block->programText, text0) << text;
    EXPECT_EQ(block->subOffset, 0) << text;
    EXPECT_EQ(block->state, state0) << text;
    EXPECT_EQ(block->thisCell, nullptr) << text;
  }
}

TEST(Engine, HostStopEndsTheRunBeforeTheNextStatement) {
  HeadlessHost host;
  host.SetStepHook([](HeadlessHost& h) {
    if (h.steps() == 3) h.block()->errorCode = erStop;
  });
  EXPECT_EQ(host.RunUtf8("PRINT 1\nPRINT 2\nPRINT 3"), 1);
  EXPECT_EQ(host.output(), "12");
  EXPECT_EQ(host.errors(), "");
  // The next run starts afresh.
  host.SetStepHook(nullptr);
  EXPECT_EQ(host.RunUtf8("PRINT 4"), 2);
  EXPECT_EQ(host.output(), "124");
}

TEST(Engine, FailedAllocationShowsTheSystemErrorBox) {
  HeadlessHost host;
  EXPECT_EQ(host.RunUtf8("DIM a"), 2);
  platform::FailGlobalAllocAfter(0);
  const int32_t status = host.RunUtf8("a[1] = 1");
  platform::FailGlobalAllocAfter(-1);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(host.errors(), "WB: WB SYSTEM ERROR \n");
  EXPECT_EQ(host.block()->stack.depth, 0);
  host.ClearText();
  EXPECT_EQ(host.RunUtf8("a[2] = 2\nPRINT a[2]"), 2);
  EXPECT_EQ(host.output(), "2");
}

TEST(Engine, LongMessagesAreNotCut) {
  const std::string name(300, 'Q');
  const ScriptResult r = RunScript("PRINT " + name);
  EXPECT_EQ(r.errors, "\n 1 " + std::string(255, 'Q') + ": undefined error\n");
  const std::string sub = "SUB " + name + " { PRINT zz }\n" + name + "()";
  const ScriptResult s = RunScript(sub);
  EXPECT_EQ(s.errors, "\n" + std::string(255, 'Q') + " 1 ZZ: undefined error\n");
}

// The removal that built-ins use: a held element is unlinked at once but
// stays usable until the runs have ended.
TEST(Engine, RemovingAHeldElementKeepsItUntilTheRunsEnd) {
  HeadlessHost::Options options;
  options.exec = WBExec;  // this program's own copy of the engine
  options.sub = WBSub;
  HeadlessHost host(options);
  ASSERT_EQ(host.RunUtf8("DIM a\na[1] = 5\na[2] = 6"), 2);
  wbexe* block = host.block();
  wcell* a = block->names.Find(u"A");
  ASSERT_NE(a, nullptr);
  wcell* held = a->Element(u"1", 0);
  {
    HoldCells hold(held);
    EXPECT_EQ(RemoveElement(block, a, u"1"), 1);
    EXPECT_EQ(held->value.AsInt(), 5);
    EXPECT_EQ(RemoveElement(block, a, u"2"), 1);
    EXPECT_EQ(RemoveElement(block, a, u"3"), 0);
  }
  EXPECT_EQ(host.RunUtf8("DIM k\nFOR k IN a { PRINT k }\nPRINT DIMLEN(a)"), 2);
  EXPECT_EQ(host.output(), "0");
}

// Texts run again, loops and subs called again behave as if every token
// were scanned anew: an edited text, a sub that redefines itself, nested
// runs of ever new texts, comments and errors in bodies run many times.
struct RerunCase {
  const char* script;
  const char* output;
  const char* errors;
};

void PrintTo(const RerunCase& c, std::ostream* os) { *os << c.script; }

class RunsAgain : public testing::TestWithParam<RerunCase> {};

TEST_P(RunsAgain, AsIfScannedAnew) {
  const RerunCase& c = GetParam();
  const ScriptResult r = RunScript(c.script);
  EXPECT_EQ(r.output, c.output);
  EXPECT_EQ(r.errors, c.errors);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunsAgain,
    testing::Values(
        // The running call goes on with the text it began with.
        RerunCase{"SUB f {\n  DIM i\n  FOR i = 1 TO 3 { PRINT i  SUB f { PRINT \"new\" } }\n}\n"
                  "f()\nf()",
                  "123new", ""},
        RerunCase{"SUB f { PRINT \"a\"  f = \"PRINT 7\"  PRINT \"b\" }\nf()\nf()\nf()", "ab77", ""},
        RerunCase{"DIM i, s = 0\nFOR i = 1 TO 4 { s = s + CALC(STR(i) + \"*10\") + CALC(\"1\") }\nPRINT s",
                  "104", ""},
        RerunCase{"DIM i\nFOR i = 1 TO 3 { CALLSUB(\"PRINT \" + STR(i) + \"\\nPRINT zz\" + STR(i)) }", "1",
                  "\nCALLSUB 2 ZZ1: undefined error\n"},
        RerunCase{"DIM i\nFOR i = 1 TO 2 { ' a } in a comment\n  PRINT i ' more\n  ' PRINT 9\n}\nPRINT \"|\"",
                  "12|", ""},
        RerunCase{"DIM i\nFOR i = 1 TO 3 {\n  IF i == 3 { PRINT zz }\n  PRINT i\n}", "12",
                  "\n 3 ZZ: undefined error\n"},
        // A block skipped on every pass, braces in its comment and string.
        RerunCase{"DIM i\nFOR i = 1 TO 3 {\n  IF i < 3 { PRINT i } ELSE { ' } brace\n"
                  "    PRINT \"}{\" { PRINT 0 } }\n  IF i == 3 { PRINT zz }\n}",
                  "12}{0", "\n 5 ZZ: undefined error\n"},
        RerunCase{"DIM i\nFOR i = 1 TO 2 { IF 0 { PRINT 1 } ELSE {} PRINT i }\nIF 0 { {", "12",
                  " \n3 : system error\n\n"},
        RerunCase{"SUB f(n) {\n  IF n == 0 { RETURN(1 / n) }\n  RETURN(f(n - 1))\n}\nPRINT f(3)", "",
                  "\nF 2: arithmetic error\n"},
        // A name gone or changed between two passes of the same tokens.
        RerunCase{"DIM a, k\na[1] = 5\nFOR k = 1 TO 3 { PRINT \"[\", a[1], \"]\"  DIMDEL(a, 1) }", "[5][][]",
                  ""},
        RerunCase{"SUB g { RETURN(1) }\nDIM k\nFOR k = 1 TO 3 { PRINT g()  SUB g { RETURN(2) } }", "122", ""},
        RerunCase{"SUB h(x) { PRINT x }\nDIM k, x = \"g\"\nFOR k = 1 TO 2 { h(k)  PRINT x }", "1g2g", ""}));

// One text run again while its names come and go between the runs.
TEST(Engine, NamesAreFoundAnewAfterEveryChange) {
  HeadlessHost host;
  const char* again = "PRINT x, \"|\"\nf()";
  EXPECT_EQ(host.RunUtf8("DIM x = 5\nSUB f { PRINT \"f\" }"), 2);
  EXPECT_EQ(host.RunUtf8(again), 2);
  EXPECT_EQ(host.RunUtf8("NEW"), 2);
  EXPECT_EQ(host.RunUtf8(again), 1);
  EXPECT_EQ(host.RunUtf8("DIM x = 6"), 2);
  EXPECT_EQ(host.RunUtf8(again), 1);
  EXPECT_EQ(host.RunUtf8("SUB f { PRINT \"g\" }"), 2);
  EXPECT_EQ(host.RunUtf8(again), 2);
  EXPECT_EQ(host.output(), "5|f6|6|g");
  EXPECT_EQ(host.errors(), "\n 1 X: undefined error\n\n 2 F: undefined error\n");
}

// The host's own buffer, edited in place between two runs.
TEST(Engine, ATextEditedInPlaceRunsAsEdited) {
  HeadlessHost::Options options;
  options.exec = WBExec;
  options.sub = WBSub;
  HeadlessHost host(options);
  std::u16string text = u"DIM i\nFOR i = 1 TO 2 { PRINT i + 2 }";
  EXPECT_EQ(WBSub(host.block(), text.c_str()), 2);
  text[10] = u'k';  // the loop now names an undeclared variable
  EXPECT_EQ(WBSub(host.block(), text.c_str()), 1);
  text = u"DIM j\nFOR j = 1 TO 2 { PRINT j - 2 }";
  EXPECT_EQ(WBSub(host.block(), text.c_str()), 2);
  EXPECT_EQ(host.output(), "34-10");
  EXPECT_EQ(host.errors(), "\n 2 K: undefined error\n");
}

}  // namespace
