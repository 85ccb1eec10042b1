// String built-ins, run as scripts through the headless host.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "tests/interpreter/script_cases.h"
#include "tools/vekhost.h"

namespace {

TEST(Strings, LengthsAndSubstrings) {
  const PrintCase cases[] = {
      {"LEN(12345)", "[5]"},            {"LEN(\"\")", "[0]"},            {"LEN(1.5)", "[3]"},
      {"LEN(\"漢字\")", "[2]"},         {"MID(\"abc\", 1, 100)", "[bc]"}, {"MID(\"abc\", 3, 1)", "[]"},
      {"MID(\"abc\", -1, 2)", "[]"},    {"MID(\"abc\", 1, 0)", "[]"},     {"MID(\"abcd\", 1, 2)", "[bc]"},
      {"MID(12345, 1, 2)", "[12345]"},  {"LEFT(\"abc\", 2)", "[ab]"},     {"LEFT(\"abc\", 0)", "[]"},
      {"LEFT(\"abc\", 9)", "[abc]"},    {"LEFT(12, 1)", "[12]"},          {"RIGHT(\"abc\", 5)", "[abc]"},
      {"RIGHT(\"abc\", 1)", "[c]"},     {"RIGHT(\"abc\", 0)", "[]"},      {"RIGHT(3.5, 1)", "[3.5]"},
      {"LOWER(\"AbC\")", "[abc]"},      {"UPPER(\"aBc ä\")", "[ABC Ä]"},  {"UPPER(1.5)", "[1.5]"},
      {"LOWER(7)", "[7]"},
  };
  CheckPrinted(cases, std::size(cases), u"\"[\", ", u", \"]\"");
}

TEST(Strings, NumbersAndCharacters) {
  // 2.5 + f takes f's type: a text result appends, an integer drops the .5.
  const PrintCase cases[] = {
      {"STR(1.5)", "[1.5]"},             {"2.5 + STR(1)", "[2.51]"},
      {"VAL(\"0x1F\")", "[31]"},         {"VAL(\"0X10\")", "[16]"},
      {"VAL(\"0xFFFFFFFF\")", "[2147483647]"}, {"VAL(\"0x\")", "[0]"},
      {"2.5 + VAL(\"0x1F\")", "[33]"},   {"VAL(\"1.5\")", "[1.5]"},
      {"2.5 + VAL(\"1.5\")", "[4]"},     {"VAL(\"abc\")", "[0]"},
      {"VAL(\" -12.5e1abc\")", "[-125]"}, {"VAL(\"x0x1\")", "[0]"},
      {"ASC(\"A\")", "[65]"},            {"ASC(\"\")", "[0]"},
      {"ASC(\"漢\")", "[28450]"},        {"ASC(5)", "[53]"},
      {"CHR(65)", "[A]"},                {"CHR(0)", "[]"},
      {"CHR(65536 + 66)", "[B]"},        {"CHR(28450)", "[漢]"},
      {"HEX(255)", "[ff]"},              {"HEX(-1)", "[ffffffff]"},
      {"HEX(0)", "[0]"},                 {"HEX(1.9)", "[1]"},
      {"HEX(\"16\")", "[10]"},
      {"ASC(\"\\f\")", "[12]"},          {"ASC(\"\\r\")", "[13]"},
      // Carriage return, vertical tab and form feed lead a number like a space.
      {"VAL(CHR(13) + \"5\") + 1", "[6]"}, {"VAL(CHR(11) + \"2.5\")", "[2.5]"},
      {"VAL(CHR(12) + \"-7\")", "[-7]"},
  };
  CheckPrinted(cases, std::size(cases), u"\"[\", ", u", \"]\"");
}

TEST(Strings, SearchAndReplace) {
  const PrintCase cases[] = {
      {"INSTR(\"abcabc\", \"bc\")", "[1]"},     {"INSTR(\"abcabc\", \"bc\", 2)", "[4]"},
      {"INSTR(\"abcabc\", \"bc\", 5)", "[-1]"}, {"INSTR(\"abc\", \"\")", "[-1]"},
      {"INSTR(\"abc\", \"c\", -1)", "[-1]"},    {"INSTR(\"a1b\", 1)", "[1]"},
      {"INSTR(12345, \"3\")", "[-1]"},          {"INSTR(\"abc\", \"a\", 0, \"x\")", "[x]"},
      {"INSTR(\"abc\", \"a\")", "[0]"},       {"INSTR(\"abc\", \"c\")", "[2]"},
      {"INSTR(\"abcabc\", \"a\", 1)", "[3]"},
      {"REPLACE(\"aaa\", \"a\", \"aa\")", "[aaaaaa]"}, {"REPLACE(\"abc\", \"\", \"x\")", "[abc]"},
      {"REPLACE(\"banana\", \"an\", \"\")", "[ba]"},  {"REPLACE(\"a-b-c\", \"-\", 1)", "[a1b1c]"},
      {"REPLACE(12321, 2, 5)", "[12321]"},       {"2.5 + REPLACE(1, 1, 1)", "[2.51]"},
  };
  CheckPrinted(cases, std::size(cases), u"\"[\", ", u", \"]\"");
}

TEST(Strings, StrConvFlags) {
  const PrintCase cases[] = {
      {"STRCONV(\"abC\", 1)", "[ABC]"},        {"STRCONV(\"ABc\", 2)", "[abc]"},
      {"STRCONV(\"ABc\", 3)", "[abc]"},        {"STRCONV(\"abc\", 0)", "[]"},
      {"STRCONV(\"abc\", 64)", "[]"},          {"STRCONV(\"\", 1)", "[]"},
      {"STRCONV(\"a b\", 4)", "[ａ　ｂ]"},     {"STRCONV(\"ａ　ｂ\", 8)", "[a b]"},
      {"STRCONV(\"Abc\", 1 + 4)", "[ＡＢＣ]"}, {"STRCONV(12, 4)", "[１２]"},
      {"STRCONV(\"がっこう\", 16)", "[ガッコウ]"}, {"STRCONV(\"ガッコウ\", 32)", "[がっこう]"},
      {"STRCONV(\"がっこう\", 8 + 16)", "[ｶﾞｯｺｳ]"}, {"STRCONV(\"ｶﾞｯｺｳﾊﾟ\", 4 + 32)", "[がっこうぱ]"},
      {"STRCONV(\"パン\", 8)", "[ﾊﾟﾝ]"},
      // Contradictory pairs map nothing.
      {"STRCONV(\"abc\", 4 + 8)", "[]"},       {"STRCONV(\"かな\", 16 + 32)", "[]"},
  };
  CheckPrinted(cases, std::size(cases), u"\"[\", ", u", \"]\"");
}

TEST(Strings, LikeThroughScripts) {
  const PrintCase cases[] = {
      {"LIKE(\"abc\", \"a*\")", "[-1]"}, {"LIKE(\"A\", \"a\")", "[0]"},
      {"LIKE(123, \"1#3\")", "[-1]"},   {"LIKE(\"\", \"\")", "[-1]"},
      {"2.5 + LIKE(\"a\", \"a\")", "[1]"},
      {"LIKE(\"c\", \"[a-c]\")", "[-1]"}, {"LIKE(\"a\", \"[a-c]\")", "[-1]"},
  };
  CheckPrinted(cases, std::size(cases), u"\"[\", ", u", \"]\"");
}

TEST(Strings, LikeWithStarsNestedTooDeepFailsWithAreaOverflow) {
  // Every "*a" that matches nests the matcher one level deeper.
  HeadlessHost host;
  EXPECT_EQ(Shown(host, u"DIM p = \"*a\", s = \"a\", i\n"
                        u"FOR i = 1 TO 17 { p = p + p  s = s + s }\n"
                        u"PRINT LIKE(s, p)"),
            "!area overflow");
  EXPECT_EQ(Shown(host, u"PRINT LIKE(LEFT(s, 100), LEFT(p, 200))"), "-1");
}

TEST(Strings, ArgumentErrors) {
  const PrintCase cases[] = {
      {"LEN()", "[!variable error"},              {"MID(\"abc\", 1)", "[!variable error"},
      {"LEFT(\"abc\")", "[!variable error"},      {"RIGHT(\"abc\")", "[!variable error"},
      {"REPLACE(\"a\", \"b\")", "[!variable error"}, {"STRCONV(\"a\")", "[!variable error"},
      {"LIKE(\"a\")", "[!variable error"},        {"VAL()", "[!variable error"},
      // INSTR counts its own arguments and fails without a code.
      {"INSTR(\"a\")", "[!system error"},
      {"LEN(nosuch)", "[!undefined error"},
  };
  CheckPrinted(cases, std::size(cases), u"\"[\", ", u", \"]\"");
}

TEST(Strings, EditsNeverChangeTheCallersVariable) {
  HeadlessHost host;
  EXPECT_EQ(Shown(host, u"DIM s = \"aBa\"\n"
                        u"PRINT UPPER(s), LOWER(s), REPLACE(s, \"a\", \"x\"), STRCONV(s, 4), \"|\", s"),
            "ABAabaxBxａＢａ|aBa");
}

// Texts grown in place by appends keep apart from every copy taken of them,
// whatever edits either side afterwards.
TEST(Strings, TextsBuiltPieceByPieceKeepApartFromTheirCopies) {
  HeadlessHost host;
  EXPECT_EQ(Shown(host, u"DIM t = \"\", u = \"\", v, i\n"
                        u"FOR i = 1 TO 12 { t = t + \"ab\"  IF i == 6 { u = t } }\n"
                        u"v = t + \"!\"\n"
                        u"u = u + \"-\"\n"
                        u"t = UPPER(t)\n"
                        u"PRINT t, \" \", u, \" \", v, \" \", LEN(t), LEN(u), LEN(v)"),
            "ABABABABABABABABABABABAB abababababab- abababababababababababab! 241325");
  EXPECT_EQ(Shown(host, u"SUB grow(s) { s = s + \"z\" }\n"
                        u"DIM w = \"long enough to leave the buffer\", x\n"
                        u"x = w\n"
                        u"grow(w)  grow(w)  grow((x))\n"
                        u"PRINT w, \"|\", x, \"|\", grow(x), \"|\", x"),
            "long enough to leave the bufferzz|long enough to leave the buffer|"
            "long enough to leave the bufferz|long enough to leave the bufferz");
}

}  // namespace
