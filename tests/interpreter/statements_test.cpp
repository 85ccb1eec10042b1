// Statements as scripts see them.
#include "tests/interpreter/core_script.h"

#include <string>

namespace {

class Statements : public testing::TestWithParam<ScriptCase> {};

TEST_P(Statements, PrintAndReport) { ExpectScript(GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Branches, Statements,
    testing::Values(
        ScriptCase{"IF 0 { PRINT 1 } ELSEIF 1 { PRINT 2 } ELSE { PRINT 3 }", "2", ""},
        ScriptCase{"IF 0.5 { PRINT 1 } ELSE { PRINT 3 }", "3", ""},
        ScriptCase{"IF \"12\" { PRINT 1 } ELSE { PRINT 3 }", "1", ""},
        ScriptCase{"if 1 { print 1 } elseif 1 { print 2 } else { print 3 }", "1", ""},
        // Every ELSEIF condition is evaluated, even after a branch was taken.
        ScriptCase{"DIM n = 0\nSUB c { n = n + 1\nRETURN(0) }\n"
                   "IF 1 { } ELSEIF c() { } ELSEIF c() { }\nPRINT n",
                   "2", ""},
        ScriptCase{"DIM x = 0\nIF x PRINT 1", "", "\n 2 1: syntax error\n"},
        ScriptCase{"IF 0 { PRINT \"}\" ' }\n} PRINT 1", "1", ""},
        ScriptCase{"IF 0 { PRINT 1", "", " \n1 : system error\n\n"},
        ScriptCase{"DIM n = 0\nWHILE n < 3 { n = n + 1\nPRINT n }", "123", ""},
        ScriptCase{"DIM n = 0\nWHILE 1 { n = n + 1\nIF n == 4 { BREAK } }\nPRINT n", "4", ""},
        ScriptCase{"WHILE 0 { PRINT 1 } PRINT 2", "2", ""}));

INSTANTIATE_TEST_SUITE_P(
    Loops, Statements,
    testing::Values(
        ScriptCase{"DIM i\nFOR i = 1 TO 3 { PRINT i }\nPRINT \" \", i", "123 4", ""},
        ScriptCase{"DIM i\nFOR i = 3 TO 1 { PRINT i }\nPRINT i", "3", ""},
        ScriptCase{"DIM i\nFOR i = 3 TO 1 STEP -1 { PRINT i }", "321", ""},
        ScriptCase{"DIM i\nFOR i = 0 TO 1 STEP 0.25 { PRINT i, \" \" }", "0 0.25 0.5 0.75 1 ", ""},
        ScriptCase{"DIM i, n = 0\nFOR i = 1 TO 2 STEP 0 { n = n + 1\nIF n == 5 { BREAK } }\nPRINT n, i",
                   "51", ""},
        ScriptCase{"DIM i\nFOR (i = 1 TO 2) { PRINT i }", "12", ""},
        ScriptCase{"DIM i, j\nFOR i = 1 TO 2 { FOR j = 1 TO 9 { PRINT i, j\nBREAK } }", "1121", ""},
        // The end and the step are computed once.
        ScriptCase{"DIM i, e = 2\nFOR i = 1 TO e { e = 9\nPRINT i }", "12", ""},
        ScriptCase{"FOR i = 1 TO 3 { }", "", "\n 1 I: undefined error\n"},
        ScriptCase{"DIM i\nFOR i = 1 { }", "", "\n 2 {: syntax error\n"},
        ScriptCase{"DIM i\nFOR i 1 TO 2 { }", "", "\n 2 1: syntax error\n"},
        ScriptCase{"DIM i\nFOR i = 1 TO 2", "", "\n 2 : syntax error\n"},
        // Buckets in order, whatever the order the keys were added in.
        ScriptCase{"DIM a, k\na[3] = \"x\"\na[1] = \"y\"\na[5] = \"z\"\n"
                   "FOR k IN a { PRINT k, a[k], \" \" }",
                   "1y 3x 5z ", ""},
        // Keys added in the body are not visited.
        ScriptCase{"DIM a, k, n = 0\na[1] = 1\na[2] = 2\n"
                   "FOR k IN a { a[k + \"0\"] = 0\na[k + \"1\"] = 0\nPRINT k }\n"
                   "FOR k IN a { n = n + 1 }\nPRINT \" \", n",
                   "12 6", ""},
        ScriptCase{"DIM e, k = 9\nFOR k IN e { PRINT \"no\" }\nPRINT k", "9", ""},
        // Within a bucket the newest entry comes first.
        ScriptCase{"DIM a, k\na.x = 1\na.y = 2\nFOR k IN a { PRINT k\nBREAK }\nPRINT \"!\"", "Y!", ""}));

INSTANTIATE_TEST_SUITE_P(
    Declarations, Statements,
    testing::Values(
        ScriptCase{"DIM x = 1\nDIM x", "", "\n 2 X: undefined error\n"},
        ScriptCase{"DIM x = 1, y = x + 1\nPRINT x, y", "12", ""},
        ScriptCase{"SUB f { DIM loc = 1\nPRINT loc }\nf()\nPRINT loc", "1",
                   "\n 4 LOC: undefined error\n"},
        ScriptCase{"SUB f(a) { DIM a }\nf(1)", "", "\nF 1 A: undefined error\n"},
        ScriptCase{"DIM 1", "", "\n 1 1: variable error\n"},
        ScriptCase{"DIM a[3", "", "\n 1: unbalanced parentheses\n"},
        ScriptCase{"DIM a[2], b.c = 4\nPRINT \"[\", a[2], \"]\", b.C", "[]4", ""},
        ScriptCase{"SUB f(a) { RETURN(a + 1) }\nPRINT f(1)\nSUB f(a) { RETURN(a * 10) }\nPRINT f(2)",
                   "220", ""},
        ScriptCase{"PRINT SUB add(a, b) { RETURN(a + b) }", "(a, b) { RETURN(a + b) }", ""},
        ScriptCase{"DIM f\nSUB f { }", "", "\n 2 F: undefined error\n"},
        ScriptCase{"SUB len { }", "", "\n 1 LEN: undefined error\n"},
        ScriptCase{"SUB 1 { }", "", "\n 1 1: undefined error\n"},
        ScriptCase{"SUB f(a { }", "", "\n 1: unbalanced parentheses\n"},
        // A sub defined inside a sub is global.
        ScriptCase{"SUB outer { SUB inner { PRINT \"i\" } }\nouter()\ninner()", "i", ""},
        // Its errors name the line of the text that defined both subs.
        ScriptCase{"SUB outer {\n  SUB inner {\n    PRINT 1\n    PRINT 1 / 0\n  }\n}\nouter()\ninner()",
                   "1", "\nINNER 4: arithmetic error\n"},
        ScriptCase{"PRINT 0\nSUB outer {\n  PRINT 1\n  SUB inner { PRINT 2\n    PRINT zz }\n"
                   "  inner()\n}\nouter()",
                   "012", "\nINNER 5 ZZ: undefined error\n"},
        ScriptCase{"SUB f { RETURN\nPRINT \"no\" }\nf()\nPRINT \"yes\"", "yes", ""},
        ScriptCase{"SUB f { RETURN() }\nPRINT f()", "0", ""},
        ScriptCase{"SUB f { DIM i\nFOR i = 1 TO 9 { IF i == 3 { RETURN(i) } }\nRETURN(0) }\n"
                   "DIM j\nFOR j = 1 TO 2 { PRINT f() }",
                   "33", ""},
        // A BREAK in a sub ends the sub, not the caller's loop.
        ScriptCase{"SUB f { BREAK }\nDIM j\nFOR j = 1 TO 3 { f()\nPRINT j }", "123", ""},
        ScriptCase{"SUB f { RETURN(1 }\nf()", "", "\nF 1: unbalanced parentheses\n"}));

INSTANTIATE_TEST_SUITE_P(
    Others, Statements,
    testing::Values(
        ScriptCase{"PRINT 1, \"a\", 2", "1a2", ""},
        ScriptCase{"PRINT", "", "\n 1 : syntax error\n"},
        ScriptCase{"REM PRINT 1\nPRINT 2 ' PRINT 3\nPRINT 4", "24", ""},
        ScriptCase{"DIM x\nLET x = 2\nPRINT x", "2", ""},
        ScriptCase{"DIM x\nx + 1", "", "\n 2 : syntax error\n"},
        ScriptCase{"DIM x\nx\nPRINT 1", "", "\n 2 PRINT: syntax error\n"},
        ScriptCase{"PRINT\xE3\x80\x80" "1\xE3\x80\x80,\xE3\x80\x80" "2", "12", ""},
        // A reset removes every global and sub.
        ScriptCase{"DIM x = 1\nSUB f { }\nNEW\nPRINT x", "", "\n 4 X: undefined error\n"},
        ScriptCase{"SUB f { }\nNEW\nf()", "", "\n 3 F: undefined error\n"},
        // Refused where it would free what a run in progress holds.
        ScriptCase{"SUB f { NEW }\nf()", "", "\nF 1 NEW: syntax error\n"},
        ScriptCase{"DIM i\nFOR i = 1 TO 2 { NEW }", "", "\n 2 NEW: syntax error\n"},
        ScriptCase{"DIM x\nx = NEW", "", "\n 2 NEW: syntax error\n"},
        ScriptCase{"DIM a\na[NEW] = 1", "", "\n 2 NEW: syntax error\n"}));

TEST(StatementRuns, EndAndExitStopSilently) {
  struct Case {
    const char* text;
    int32_t code;
  };
  for (const Case& c : {Case{"PRINT 1\nEND\nPRINT 2", 12}, Case{"PRINT 1\nEXIT\nPRINT 2", 11},
                        Case{"SUB f { END }\nPRINT 1\nf()\nPRINT 2", 12},
                        Case{"DIM i\nPRINT 1\nFOR i = 1 TO 3 { EXIT }\nPRINT 2", 11}}) {
    const ScriptResult r = RunScript(c.text);
    EXPECT_EQ(r.status, 1) << c.text;
    EXPECT_EQ(r.errorCode, c.code) << c.text;
    EXPECT_EQ(r.output, "1") << c.text;
    EXPECT_EQ(r.errors, "") << c.text;
  }
}

TEST(StatementRuns, TopLevelDimMakesGlobalsThatOutliveTheRun) {
  HeadlessHost host;
  EXPECT_EQ(host.RunUtf8("DIM x = 5"), 2);
  EXPECT_EQ(host.RunUtf8("DIM x\nPRINT x\nx = 6"), 2);
  EXPECT_EQ(host.RunUtf8("PRINT x"), 2);
  EXPECT_EQ(host.output(), "56");
  EXPECT_EQ(host.errors(), "");
  EXPECT_EQ(host.block()->stack.depth, 0);
}

TEST(StatementRuns, NewAtTopLevelClearsForLaterRuns) {
  HeadlessHost host;
  EXPECT_EQ(host.RunUtf8("DIM x = 1\nSUB f { }"), 2);
  const long resets = host.requests(5);
  EXPECT_EQ(host.RunUtf8("NEW\nDIM y = 2\nPRINT y"), 2);
  EXPECT_EQ(host.requests(5), resets + 1);  // the reset request
  EXPECT_EQ(host.RunUtf8("PRINT x"), 1);
  EXPECT_EQ(host.RunUtf8("f()"), 1);
  EXPECT_EQ(host.RunUtf8("PRINT y"), 2);
  EXPECT_EQ(host.output(), "22");
  EXPECT_EQ(host.errors(), "\n 1 X: undefined error\n\n 1 F: undefined error\n");
}

TEST(StatementRuns, RefusedNewLeavesTheStackSound) {
  HeadlessHost host;
  EXPECT_EQ(host.RunUtf8("DIM v = 3\nSUB f(a, b) { DIM loc = a\nNEW }\nf(1, 2)"), 1);
  EXPECT_EQ(host.block()->stack.depth, 0);
  host.ClearText();
  EXPECT_EQ(host.RunUtf8("SUB g(a) { RETURN(a + v) }\nPRINT g(4)"), 2);
  EXPECT_EQ(host.output(), "7");
}

struct InputCase {
  const char16_t* reply;
  const char* output;
};

// A reply that begins with a decimal number is stored as a real, any other
// reply as text: 1 + v then adds, or joins.
TEST(StatementRuns, InputStoresNumbersAsRealsAndTheRestAsText) {
  for (const InputCase& c : {InputCase{u"42", "43"}, InputCase{u"-42", "1-42"},
                             InputCase{u"12abc", "13"}, InputCase{u"0x10", "10x10"},
                             InputCase{u"", "1"}}) {
    HeadlessHost::Options options;
    options.inputLines = {c.reply};
    const ScriptResult r = RunScript("DIM v\nINPUT \"n?\", v\nPRINT 1 + v", options);
    EXPECT_EQ(r.output, c.output);
    EXPECT_EQ(r.errors, "");
  }
}

TEST(StatementRuns, InputSendsPromptsAndFillsEachTarget) {
  HeadlessHost::Options options;
  options.inputLines = {u"a", u"b"};
  HeadlessHost host(options);
  EXPECT_EQ(host.RunUtf8("DIM x, y\nINPUT \"first\", x, y\nPRINT x, y"), 2);
  EXPECT_EQ(host.output(), "ab");
  EXPECT_EQ(host.requests(3), 2);
  EXPECT_EQ(host.RunUtf8("DIM z\nINPUT \"p\" z"), 1);
  EXPECT_EQ(host.RunUtf8("INPUT nothing"), 1);
  EXPECT_EQ(host.errors(), "\n 2 Z: syntax error\n\n 1 NOTHING: undefined error\n");
}

// The host's abort of the input dialog writes erStop and replies with empty
// text: the run ends silently and the target keeps its value.
TEST(StatementRuns, AbortedInputEndsTheRun) {
  HeadlessHost* self = nullptr;
  HeadlessHost::Options options;
  options.input = [&self](std::u16string& line) {
    self->block()->errorCode = erStop;
    line.clear();
    return true;
  };
  HeadlessHost host(options);
  self = &host;
  EXPECT_EQ(host.RunUtf8("DIM v = 5\nINPUT \"n?\", v\nPRINT 1"), 1);
  EXPECT_EQ(host.lastErrorCode(), erStop);
  EXPECT_EQ(host.RunUtf8("PRINT v"), 2);
  EXPECT_EQ(host.output(), "5");
  EXPECT_EQ(host.errors(), "");
}

TEST(StatementRuns, StopPausesWithTheWindowTextAndResumes) {
  HeadlessHost::Options options;
  options.title = u"Zimro";
  HeadlessHost host(options);
  std::u16string seen;
  host.SetStepHook([&](HeadlessHost& h) {
    if (h.block()->state == rsPaused) {
      seen = h.title();
      h.block()->state = rsRunning;
    }
  });
  EXPECT_EQ(host.RunUtf8("PRINT 1\nSTOP\nPRINT 2"), 2);
  EXPECT_EQ(seen, u"Zimro - STOP");
  EXPECT_EQ(host.title(), u"Zimro");
  EXPECT_EQ(host.output(), "12");
  // The position request names the STOP token: offset 8, length 4.
  EXPECT_EQ(host.block()->request[2].AsInt(), 8);
  EXPECT_EQ(host.block()->request[3].AsInt(), 4);
}

// The pause's position request counts in the text that defined the subs.
TEST(StatementRuns, StopInASubDefinedInASubNamesItsPlaceInTheWholeText) {
  const std::u16string text =
      u"PRINT 1\nSUB outer {\n  SUB inner {\n    PRINT 2\n    STOP\n  }\n  inner()\n}\nouter()";
  HeadlessHost host;
  int32_t offset = -1, length = -1;
  host.SetStepHook([&](HeadlessHost& h) {
    if (h.block()->state == rsPaused) {
      offset = h.block()->request[2].AsInt();
      length = h.block()->request[3].AsInt();
      h.block()->state = rsRunning;
    }
  });
  host.Run(text);
  EXPECT_EQ(host.output(), "12");
  EXPECT_EQ(offset, static_cast<int32_t>(text.find(u"STOP")));
  EXPECT_EQ(length, 4);
}

TEST(StatementRuns, StopEndsWhenTheHostStopsTheRun) {
  HeadlessHost::Options options;
  options.title = u"Zimro";
  HeadlessHost host(options);
  host.SetStepHook([](HeadlessHost& h) {
    if (h.block()->state == rsPaused) h.block()->errorCode = erStop;
  });
  EXPECT_EQ(host.RunUtf8("PRINT 1\nSTOP\nPRINT 2"), 1);
  EXPECT_EQ(host.title(), u"Zimro");
  EXPECT_EQ(host.output(), "1");
  EXPECT_EQ(host.errors(), "");
  EXPECT_EQ(host.block()->state, rsFinished);
}

}  // namespace
