// Expressions as scripts see them: operators, types, references and calls.
#include "tests/interpreter/core_script.h"
#include "tests/interpreter/script_cases.h"

#include <pthread.h>

#include <string>

namespace {

class Expressions : public testing::TestWithParam<ScriptCase> {};

TEST_P(Expressions, PrintAndReport) { ExpectScript(GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Operators, Expressions,
    testing::Values(
        ScriptCase{"PRINT 1 + 2, \" \", 7 / 2, \" \", 10 - 2 - 3", "3 3.5 5", ""},
        ScriptCase{"PRINT 2 + 3 * 4, \" \", (2 + 3) * 4, \" \", 2 * -3", "14 20 -6", ""},
        ScriptCase{"PRINT 1 == 1, \" \", 1 == 2, \" \", 1 != 2, \" \", 2 >= 3", "-1 0 -1 0", ""},
        // -1 < 3: comparisons chain on their integer results.
        ScriptCase{"PRINT 1 < 2 < 3, \" \", 3 > 2 > 1", "-1 0", ""},
        ScriptCase{"PRINT 6 AND 3, \" \", 6 OR 3, \" \", 6 XOR 3, \" \", NOT 0", "2 7 5 -1", ""},
        // AND binds more loosely than the comparison: (1 + 1 == 2) AND 3.
        ScriptCase{"PRINT 1 + 1 == 2 AND 3", "3", ""},
        ScriptCase{"PRINT 0x10, \" \", 0xFFFFFFFFFF, \" \", 0x", "16 4294967295 0", ""},
        ScriptCase{"PRINT -0, \" \", -(-2), \" \", +\"7\"", "0 2 7", ""},
        // The left operand takes the right operand's type.
        ScriptCase{"PRINT 1 + \"ab\", \" \", \"ab\" + 1, \" \", 2.5 + (1 == 1)", "1ab 1 1", ""},
        ScriptCase{"PRINT 7 / (2 == 2), \" \", (1 == 1) / 2", "-7 -0.5", ""},
        ScriptCase{"PRINT \"abc\" < \"abd\", \" \", \"b\" > \"abc\", \" \", \"a\" - \"\"",
                   "-1 -1 97", ""},
        // The smallest integer divided by -1 wraps instead of trapping.
        ScriptCase{"PRINT (NOT 2147483647) / (NOT 0)", "-2147483648", ""},
        ScriptCase{"PRINT 1 / 0", "", "\n 1: arithmetic error\n"},
        ScriptCase{"PRINT 1 / 0.0", "", "\n 1: arithmetic error\n"},
        ScriptCase{"PRINT \"x\", 1 / \"abc\"", "x", "\n 1: arithmetic error\n"},
        ScriptCase{"PRINT \"[\", 5 / \"2\", \"]\"", "[]", ""},
        ScriptCase{"PRINT (1 + 2", "", "\n 1: unbalanced parentheses\n"},
        ScriptCase{"PRINT 1 +", "", "\n 1 : syntax error\n"},
        ScriptCase{"PRINT 2 * )", "", "\n 1 ): syntax error\n"},
        ScriptCase{"PRINT NOT zz", "", "\n 1 ZZ: undefined error\n"},
        ScriptCase{"DIM a\na + 1 = 2", "", "\n 2 =: variable error\n"},
        ScriptCase{"DIM a  (a) = 2", "", "\n 1 =: variable error\n"}));

// Reals that differ only after the point, and reals equal to each other.
TEST(RealComparisons, FractionsDecideAndEqualRealsMeetGeAndLe) {
  const PrintCase cases[] = {
      {"1.5 > 1.25", "-1"},   {"1.25 > 1.5", "0"},    {"1.25 < 1.5", "-1"},
      {"1.5 < 1.25", "0"},    {"1.5 == 1.25", "0"},   {"1.5 != 1.25", "-1"},
      {"-0.5 < -0.25", "-1"}, {"2.75 >= 2.5", "-1"},  {"2.5 >= 2.75", "0"},
      {"2.5 <= 2.75", "-1"},  {"2.75 <= 2.5", "0"},   {"1.5 >= 1.5", "-1"},
      {"1.5 <= 1.5", "-1"},   {"1.5 > 1.5", "0"},     {"1.5 < 1.5", "0"},
      {"1.5 == 1.5", "-1"},   {"1.5 != 1.5", "0"},
  };
  CheckPrinted(cases, std::size(cases));
}

INSTANTIATE_TEST_SUITE_P(
    Lexing, Expressions,
    testing::Values(
        ScriptCase{"DIM a = 1, b = 2\nPRINT a<=b, \" \", a< =b", "-1 ", "\n 2 =: syntax error\n"},
        ScriptCase{"DIM x\nx=-1\nPRINT x", "-1", ""},
        ScriptCase{"PRINT 0x1Fg", "31", "\n 1 G: undefined error\n"},
        ScriptCase{"DIM andy = 7\nPRINT 6 and 3, 6 And 3, andy", "227", ""},
        ScriptCase{"PRINT 1e5+3, \" \", 1.5e-3", "100003 0.0015", ""},
        ScriptCase{"PRINT \"a\\tb\" ' a comment \"\nPRINT \"C:\\Data\"", "a\tbC:Data", ""}));

INSTANTIATE_TEST_SUITE_P(
    References, Expressions,
    testing::Values(
        ScriptCase{"DIM a = 1\na = 2 / 0", "", "\n 2: arithmetic error\n"},
        ScriptCase{"DIM a = 1, b = 2\nPRINT a + b, a = b = 7, a, b", "3777", ""},
        // Reading a missing element makes it, holding the empty text.
        ScriptCase{"DIM a, k\nPRINT \"[\" + a[5] + \"]\"\nFOR k IN a { PRINT k }", "[]5", ""},
        ScriptCase{"DIM o\no.name = \"x\"\no.\"name\" = \"y\"\nPRINT o.NAME, o.\"name\"", "xy", ""},
        ScriptCase{"DIM o\nPRINT o.1", "", "\n 2 1: undefined error\n"},
        ScriptCase{"DIM a\nPRINT a[1", "", "\n 2: unbalanced parentheses\n"},
        // Assigning a cell copies it whole, element tables included.
        ScriptCase{"DIM a, b\na[1] = 1\nb = a\nb[1] = 2\nPRINT a[1], b[1]", "12", ""},
        ScriptCase{"DIM a\na = {1, {2, {3, {4}}}}\nPRINT a[1][1][1][0]", "4", ""},
        ScriptCase{"DIM a\na[1] = 5\na[1][2] = 6\na = a[1]\nPRINT a, a[2]", "56", ""},
        ScriptCase{"DIM a\na[1] = 5\na[1] = a\nPRINT a[1][1], \"[\", a[1], \"]\"", "5[]", ""},
        // A plain value clears the target's elements.
        ScriptCase{"DIM a, k\na[1] = 5\na = 3\nFOR k IN a { PRINT k }\nPRINT a", "3", ""}));

INSTANTIATE_TEST_SUITE_P(
    Calls, Expressions,
    testing::Values(
        ScriptCase{"SUB inc(x) { x = x + 1 }\nDIM v = 1\ninc(v)\nPRINT v\ninc((v))\nPRINT v",
                   "22", ""},
        ScriptCase{"SUB set(a) { a[1] = \"x\"  a.m = \"y\" }\nDIM arr\nset(arr)\nPRINT arr[1], arr.M",
                   "xy", ""},
        ScriptCase{"SUB set(e) { e = 9 }\nDIM a\nset(a[3])\nPRINT a[3]", "9", ""},
        ScriptCase{"SUB g(a, b) { PRINT \"in\" }\ng(1, 2, 3)\ng(1)", "in",
                   "\nG 1 B: undefined error\n"},
        ScriptCase{"SUB f(x) { RETURN(x * 2) }\nDIM g\ng = f\nPRINT g(4)", "8", ""},
        ScriptCase{"DIM f\nf = SUB (x) { RETURN(x * 2) }\nPRINT f(3)", "6", ""},
        ScriptCase{"SUB h { DIM t = 41\nt = t + 1\nRETURN }\nPRINT h()", "42", ""},
        ScriptCase{"SUB mk { DIM t\nt[1] = \"e\"\nRETURN(t) }\nDIM a\na = mk()\nPRINT a[1]", "e", ""},
        // A literal handed back outlives the sub's run.
        ScriptCase{"SUB mk(x) { RETURN({x, 2}) }\nSUB g(a) { PRINT a[0], a[1] }\n"
                   "DIM a\na = mk(1)\nPRINT a[0], a[1]\ng(mk(3))",
                   "1232", ""},
        // A result in the popped frame stays the argument's own while the
        // next arguments are pushed: a literal, a local, an element of a local.
        ScriptCase{"SUB F() { DIM x\nRETURN({1, 2}) }\nSUB G(a, b) { PRINT DIMLEN(a), \" \"\n"
                   "a = 99\nPRINT b }\nG(F(), 7)",
                   "2 7", ""},
        ScriptCase{"SUB F() { DIM x, y\ny = {5, 6}\nRETURN(y) }\n"
                   "SUB G(a, b, c) { PRINT DIMLEN(a), a[1], \" \", b, c }\nG(F(), 7, {8})",
                   "26 7", ""},
        ScriptCase{"SUB F() { DIM x, y\ny = {{5, 6}}\nRETURN(y[0]) }\n"
                   "SUB G(a, b, c) { PRINT DIMLEN(a), a[1], \" \", b, c }\nG(F(), 7, 8)",
                   "26 78", ""},
        // ... also when a sub with a local hands on what a nested call returned.
        ScriptCase{"SUB G() { DIM x\nRETURN({1, 2}) }\nSUB F() { DIM y\nRETURN(G()) }\n"
                   "SUB H(a, b) { PRINT DIMLEN(a), \" \", b }\nH(F(), 7)",
                   "2 7", ""},
        ScriptCase{"SUB G() { DIM x, w\nw = {{5, 6}}\nRETURN(w[0]) }\nSUB F() { DIM y\nRETURN(G()) }\n"
                   "SUB H(a, b, c) { PRINT DIMLEN(a), a[1], \" \", b, c }\nH(F(), 7, 8)",
                   "26 78", ""},
        // Each literal of an argument list keeps its own elements.
        ScriptCase{"SUB G(a, b) { PRINT DIMLEN(a), DIMLEN(b), a[1], b[0] }\nG({1, 2}, {3})",
                   "2123", ""},
        // THIS is the object before the last step, whatever the arguments name.
        ScriptCase{"DIM o, p\no.v = 1\np.v = 2\no.m = SUB (a) { RETURN(THIS.v + a) }\nPRINT o.m(p.v)",
                   "3", ""},
        ScriptCase{"DIM o\no.n = 0\no.inc = SUB { THIS.n = THIS.n + 1 }\no.inc()\no.inc()\nPRINT o.n",
                   "2", ""},
        ScriptCase{"SUB f { THIS.k = 7 }\nf()\nPRINT f.K", "7", ""},
        ScriptCase{"PRINT THIS", "", "\n 1 THIS: undefined error\n"},
        ScriptCase{"SUB f { PRINT 1 }\nPRINT f(", "", "\n 2 : syntax error\n"},
        // A sub may redefine itself while it runs.
        ScriptCase{"SUB f { SUB f { PRINT \"new\" }\nPRINT \"old\" }\nf()\nf()", "oldnew", ""}));

// A cell that an operation in progress holds stays usable when the table it
// lies in is cleared under it.
INSTANTIATE_TEST_SUITE_P(
    HeldCells, Expressions,
    testing::Values(
        ScriptCase{"DIM o\no.j = o = 0\nPRINT o, \"[\", o.J, \"]\"", "0[]", ""},
        ScriptCase{"DIM a\na[1][2] = 1\nPRINT \"[\", a[1][a = 0], \"]\", a", "[]0", ""},
        ScriptCase{"SUB f(x) { a = 0\nx = 5\nPRINT x }\nDIM a\na[1] = 1\nf(a[1])\nPRINT a", "50", ""},
        ScriptCase{"DIM b, a\na[1] = 7\nb = a = a[1]\nPRINT a, b", "77", ""},
        ScriptCase{"DIM a, n = 0\nFOR a[1] = 1 TO 3 { n = n + 1\na = 0 }\nPRINT n", "3", ""},
        ScriptCase{"DIM o\no.p.v = 1\no.p.m = SUB { o = 0\nRETURN(THIS.v) }\nPRINT o.p.m()", "1", ""},
        ScriptCase{"DIM a\na.m = SUB (x) { RETURN(x) }\nPRINT a.m(a = 5)", "5", ""},
        ScriptCase{"SUB f { }\nf.x = 1\nf.x = SUB f { }\nPRINT \"[\", f.X, \"]\"", "[]", ""},
        // Literals inside the items of a literal being built.
        ScriptCase{"SUB g(a, b) { PRINT a[0], a[1], b }\nDIM x, y\n"
                   "x = {1, g({2, 3}, 4), 5 < {5}, (y = {6, 7}), 8}\nPRINT \" \", x[0], x[2], y[1], x[4]",
                   "234 1078", ""},
        // The second literal reuses the cell that the first argument lies in.
        ScriptCase{"SUB id(x) { RETURN(x[0]) }\nSUB g(a, b) { PRINT a[0], b[0] }\ng(id({ {1} }), {2})",
                   "12", ""}));

// A failure in an argument is the caller's: its name and its line, even when
// the called sub was defined further up in the text.
TEST(ExpressionErrors, ArgumentErrorIsReportedAtTheCaller) {
  const std::string text = "PRINT \"a\"\n\n\n\n\n\nSUB f(a) { RETURN(a) }\nPRINT f(1 / 0)" +
                           std::string(40, '\n') + "PRINT \"b\"";
  const ScriptResult r = RunScript(text);
  EXPECT_EQ(r.output, "a");
  EXPECT_EQ(r.errors, "\n 8: arithmetic error\n");
}

TEST(ExpressionErrors, SubCalledInsideAnArgumentDoesNotRenameTheCaller) {
  const ScriptResult r =
      RunScript("SUB g { RETURN(1) }\nSUB f(a) { PRINT zz }\nf(g())");
  EXPECT_EQ(r.errors, "\nF 2 ZZ: undefined error\n");
}

// Deep recursion of any kind ends with "area overflow", reported once, and
// the block is left sound for the next run.
TEST(ExpressionErrors, DeepRecursionOverflows) {
  const std::string nested = "PRINT " + std::string(200000, '(') + "1" + std::string(200000, ')');
  std::string nots = "PRINT ";
  for (int i = 0; i < 200000; ++i) nots += "NOT ";
  nots += "0";
  const std::string blocks = std::string(200000, '{') + std::string(200000, '}');
  const std::string literal =
      "DIM a\na = " + std::string(200000, '{') + "1" + std::string(200000, '}');
  for (const std::string& text : {std::string("SUB r(n) { RETURN(r(n + 1)) }\nDIM x\nx = r(1)"),
                                  nested, nots, blocks, literal}) {
    HeadlessHost host;
    EXPECT_EQ(host.RunUtf8(text), 1);
    EXPECT_EQ(host.lastErrorCode(), 3);
    const std::string& e = host.errors();
    ASSERT_NE(e.find(": area overflow\n"), std::string::npos) << e.substr(0, 80);
    EXPECT_EQ(e.find("area overflow", e.find("area overflow") + 1), std::string::npos);
    EXPECT_EQ(host.block()->stack.depth, 0);
    host.ClearText();
    EXPECT_EQ(host.RunUtf8("DIM y = 2\nPRINT y"), 2);
    EXPECT_EQ(host.output(), "2");
  }
}

// The guard measures the stack of the thread that runs the script.
TEST(ExpressionErrors, DeepRecursionOverflowsOnASmallThreadStack) {
  struct Outcome {
    int32_t status = 0;
    std::string errors;
  } outcome;
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 2 * 1024 * 1024);
  pthread_t thread;
  auto body = [](void* p) -> void* {
    auto* out = static_cast<Outcome*>(p);
    HeadlessHost host;
    out->status = host.RunUtf8("SUB r(n) { RETURN(r(n + 1)) }\nDIM x\nx = r(1)");
    out->errors = host.errors();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, body, &outcome), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors.rfind("\nR 1 ", 0), 0u) << outcome.errors;
  EXPECT_NE(outcome.errors.find(": area overflow\n"), std::string::npos) << outcome.errors;
}

}  // namespace
