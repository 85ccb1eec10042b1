// Array literals, array built-ins, diagnostics and host commands, run as
// scripts through the headless host.
#include <gtest/gtest.h>

#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "interpreter/tokens.h"
#include "platform/text.h"
#include "platform/window.h"
#include "tests/interpreter/core_script.h"
#include "tests/interpreter/script_cases.h"
#include "tools/vekhost.h"

namespace {

TEST(Arrays, LiteralsNumberTheirItemsAndTakeKeys) {
  HeadlessHost host;
  EXPECT_EQ(Shown(host, u"DIM a = {1, 2, 3}\nPRINT DIMLEN(a), \"|\", a[0], a[1], a[2]"), "3|123");
  // The counter advances on keyed items too.
  EXPECT_EQ(Shown(host, u"DIM b = {10, \"a\" : 20, 30}\nPRINT #MEMBER(b)"),
            "B=\"\"\r\nB[0]=10\r\nB[\"a\"]=20\r\nB[2]=30\r\n");
  EXPECT_EQ(Shown(host, u"DIM c = {{1, {2}}, 7 : {3}}\nPRINT #MEMBER(c)"),
            "C=\"\"\r\nC[0]=\"\"\r\nC[0][0]=1\r\nC[0][1]=\"\"\r\nC[0][1][0]=2\r\n"
            "C[7]=\"\"\r\nC[7][0]=3\r\n");
  // Keys are evaluated; a later item of the same key replaces the earlier one,
  // a nested literal included.
  EXPECT_EQ(Shown(host, u"DIM k = \"x\"\nDIM d = {k : 1, 0 : {5, 6}, 0 : 7}\nPRINT #MEMBER(d)"),
            "D=\"\"\r\nD[\"x\"]=1\r\nD[0]=7\r\n");
  EXPECT_EQ(Shown(host, u"DIM f = {0 : {5, 6}, 0 : {7}}\nPRINT #MEMBER(f), DIMLEN(f[0])"),
            "F=\"\"\r\nF[0]=\"\"\r\nF[0][0]=7\r\n1");
  // An item that names an array stores its value only.
  EXPECT_EQ(Shown(host, u"DIM e = {b}\nPRINT DIMLEN(e), DIMLEN(e[0]), \"[\", e[0], \"]\""),
            "10[]");
}

TEST(Arrays, MalformedLiteralsAreSyntaxErrors) {
  HeadlessHost host;
  for (const char16_t* text : {u"DIM a = {}", u"DIM a = {1, }", u"DIM a = {1 2}",
                               u"DIM a = {1, 2\nPRINT 1", u"DIM a = {1 : }"}) {
    EXPECT_EQ(Shown(host, text), "!syntax error") << platform::ToUtf8(text);
  }
}

TEST(Arrays, DimLenDimKeyAndDimDel) {
  const struct {
    const char16_t* text;
    const char* printed;
  } cases[] = {
      {u"PRINT DIMLEN(a), DIMLEN(5), DIMLEN(x), DIMLEN(a[0])", "6000"},
      {u"PRINT DIMKEY(a, 0), DIMKEY(a, 5), \"[\", DIMKEY(a, 6), DIMKEY(a, -1), DIMKEY(x, 0), \"]\"",
       "05[]"},
      {u"PRINT DIMKEY(5, 0)", "!variable error"},
      {u"PRINT DIMKEY(a)", "!variable error"},
      {u"PRINT \"[\", DIMDEL(a, 5), \"]\", DIMLEN(a), DIMKEY(a, 4)", "[]54"},
      {u"PRINT DIMDEL(a, 5)", "!variable error"},
      {u"PRINT DIMDEL(x, 0)", "!variable error"},
      {u"PRINT DIMDEL(5, 0)", "!variable error"},
      {u"PRINT DIMDEL(a)", "!variable error"},
      {u"PRINT DIMLEN()", "!variable error"},
      // The target of the assignment is the element being deleted.
      {u"a[1] = DIMDEL(a, 1) PRINT DIMLEN(a), DIMKEY(a, 0)", "40"},
  };
  HeadlessHost host;
  host.Run(u"DIM a = {0, 1, 2, 3, 4, 5}, x");
  for (const auto& c : cases) EXPECT_EQ(Shown(host, c.text), c.printed) << platform::ToUtf8(c.text);
}

TEST(Arrays, DimWordSplitsIntoTokensWithTheirKinds) {
  HeadlessHost host;
  EXPECT_EQ(Shown(host, u"DIM w = DIMWORD(\"x >= 10\")\nPRINT DIMLEN(w), w[0], w[1], w[2]"),
            "3x>=10");
  // The token codes are the elements' kinds, in the returned cell itself.
  EXPECT_EQ(Shown(host, u"PRINT DIMWORD(\"x >= 10\")"), "2");
  whash* words = host.block()->request[0].elements;
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words->Find(u"0")->kind, tkWord);
  EXPECT_EQ(words->Find(u"1")->kind, tkGe);
  EXPECT_EQ(words->Find(u"2")->kind, tkNumber);
  // Case is kept, strings lose their quotes, comments are passed over, and
  // the next DIMWORD replaces the array.
  EXPECT_EQ(Shown(host, u"PRINT #MEMBER(DIMWORD(\"Print \\\"hi\\\\n\\\" 'c\\n and\"))"),
            "=\"\"\r\n[2]=\"and\"\r\n[1]=\"hi\\n\"\r\n[0]=\"Print\"\r\n");
  EXPECT_EQ(host.block()->request[0].elements->Find(u"2")->kind, tkWord);
  EXPECT_EQ(Shown(host, u"PRINT DIMLEN(DIMWORD(\"\")), DIMWORD()"), "0!variable error");
}

// The next DIMWORD replaces the array while a parameter still names it or
// one of its elements: what the sub holds stays as it was.
TEST(Arrays, DimWordKeepsWhatARunningSubHolds) {
  const ScriptCase cases[] = {
      {"SUB F(p) { p[0] = DIMWORD(\"c\")\nPRINT p[0], DIMLEN(p) }\nF(DIMWORD(\"a\"))\n"
       "PRINT \"|\", DIMWORD(\"x y\"), DIMLEN(DIMWORD(\"u v w\"))",
       "c1|23", ""},
      {"SUB G(q) { DIMWORD(\"z\")\nPRINT q }\nSUB F(p) { G(p[0]) }\nF(DIMWORD(\"a b\"))", "a", ""},
  };
  for (const ScriptCase& c : cases) ExpectScript(c);
}

// The word array lives in the block and goes with it.
TEST(Arrays, DimWordArrayIsFreedWithTheBlock) {
#if defined(__SANITIZE_ADDRESS__)
  {
    HeadlessHost host;
    EXPECT_EQ(Shown(host, u"PRINT DIMLEN(DIMWORD(\"a b c\"))"), "3");
  }
  EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#else
  GTEST_SKIP() << "the leak check runs in the sanitizer build";
#endif
}

TEST(Arrays, MemberDumpsNamesKeysAndQuotedValues) {
  HeadlessHost host;
  EXPECT_EQ(Shown(host, u"DIM a\na.x = 1\na[2] = 5\nPRINT #MEMBER(a)"), "A=\"\"\r\nA[2]=5\r\nA.X=1\r\n");
  // Identifier keys after a dot, digits in brackets, anything else quoted.
  EXPECT_EQ(Shown(host, u"DIM k\nk[\"ABC\"] = 1\nk[\"_X1\"] = 2\nk[\"$\"] = 3\nk[\"123\"] = 4\n"
                        u"k[\"1A\"] = 5\nk[\"abc\"] = 6\nk[\"a b\"] = 7\nk[\"\"] = 8\nPRINT #MEMBER(k)"),
            "K=\"\"\r\nK[\"\"]=8\r\nK[\"1A\"]=5\r\nK[\"abc\"]=6\r\nK.$=3\r\nK.ABC=1\r\n"
            "K[\"a b\"]=7\r\nK._X1=2\r\nK[123]=4\r\n");
  // CR, LF, TAB and the double quote are escaped, the backslash is not.
  EXPECT_EQ(Shown(host, u"DIM s = \"a\\r\\nb\\t\\\"q\\\"\\\\\"\nPRINT #MEMBER(s)"),
            "S=\"a\\r\\nb\\t\\\"q\\\"\\\"\r\n");
  EXPECT_EQ(Shown(host, u"DIM r = 2.5\nPRINT #MEMBER(5, r)"), "R=2.5\r\n");
  EXPECT_EQ(Shown(host, u"PRINT #MEMBER(5)"), "!variable error");
  EXPECT_EQ(Shown(host, u"PRINT #MEMBER()"), "!variable error");
}

TEST(Arrays, TableListingsAndSizes) {
  HeadlessHost host;
  EXPECT_EQ(Shown(host, u"DIM a = {1, 2, 3}, x\nPRINT #HASH(a), #HASH(x)"),
            "0-0 : 0\r\n0-1 : 1\r\n0-2 : 2\r\nNULL\r\n");
  EXPECT_EQ(Shown(host, u"PRINT #HASH(5)"), "!variable error");
  EXPECT_EQ(Shown(host, u"PRINT #SYSTEM"), "stack max : 100\r\nhash size : 115\r\n");
  const std::string top = Shown(host, u"PRINT #HASHTOP");
  // The keywords in their buckets, and the globals beside them.
  EXPECT_EQ(top.substr(0, 34), "1-0 : MSG\r\n1-1 : WRITEB\r\n1-2 : FOR");
  EXPECT_NE(top.find("\r\n113-1 : REM\r\n"), std::string::npos);
  EXPECT_NE(top.find(" : A\r\n"), std::string::npos);
  EXPECT_NE(top.find(" : X\r\n"), std::string::npos);
}

// A host window that answers command 1 with ten times its argument and hands
// every other request to the headless host.
struct CommandWindow {
  HeadlessHost& host;
  HWND handle = 0;

  explicit CommandWindow(HeadlessHost& h) : host(h) {
    handle = platform::RegisterWindow(&Serve, this);
    host.block()->hostWindow = handle;
  }
  ~CommandWindow() {
    host.block()->hostWindow = host.window();
    platform::UnregisterWindow(handle);
  }

  static LRESULT Serve(void* context, HWND, UINT message, WPARAM, LPARAM lParam) {
    auto* self = static_cast<CommandWindow*>(context);
    wbexe* block = self->host.block();
    if (block->request[0].value.AsInt() == rqCommand && block->request[1].value.AsInt() == 1) {
      block->request[2].value = block->request[2].value.AsInt() * 10;
      return 1;
    }
    return SendMessageA(self->host.window(), message, self->host.window(), lParam);
  }
};

TEST(Arrays, CmdForwardsToTheHost) {
  HeadlessHost host;
  // The headless host answers no command: request cell 2 keeps the first argument.
  EXPECT_EQ(Shown(host, u"PRINT #CMD(7, \"a\", \"b\")"), "a");
  EXPECT_EQ(host.requests(rqCommand), 1);
  // With only the command number, cell 2 holds what the last request left there.
  EXPECT_EQ(Shown(host, u"PRINT #CMD(7)"), "a");
  EXPECT_EQ(Shown(host, u"PRINT #CMD(1, 2, 3, 4, 5, 6, 7, 8, 9)"), "2");
  EXPECT_EQ(host.block()->request[9].value.AsInt(), 9);
  // More than fit the request cells, and none at all, are refused unsent.
  EXPECT_EQ(Shown(host, u"PRINT #CMD(1, 2, 3, 4, 5, 6, 7, 8, 9, 10)"), "!variable error");
  EXPECT_EQ(Shown(host, u"PRINT #CMD()"), "!variable error");
  EXPECT_EQ(host.requests(rqCommand), 3);

  CommandWindow window(host);
  EXPECT_EQ(Shown(host, u"PRINT #CMD(1, 4) + 1, \"|\", #CMD(2, 4)"), "41|4");
}

}  // namespace
