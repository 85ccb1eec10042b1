// The lexer on its own: token codes and texts, positions, skipping.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "interpreter/wword.h"
#include "platform/text.h"

namespace {

struct Tok {
  int32_t code;
  std::u16string text;
  bool operator==(const Tok&) const = default;
};

void PrintTo(const Tok& t, std::ostream* os) {
  *os << "{" << t.code << ", \"" << platform::ToUtf8(t.text) << "\"}";
}

// Every token up to and including the end.
std::vector<Tok> Lex(const char16_t* text, int32_t upper = 1) {
  wword lexer(text);
  lexer.upper = upper;
  std::vector<Tok> out;
  for (int guard = 0; guard < 10000; ++guard) {
    const int32_t code = lexer.Next();
    out.push_back({code, lexer.token});
    if (code == tkEnd) break;
  }
  return out;
}

const Tok End{tkEnd, u""};

struct LexCase {
  const char16_t* text;
  std::vector<Tok> tokens;
};

class LexerTokens : public testing::TestWithParam<LexCase> {};

TEST_P(LexerTokens, GivesTheseTokens) {
  const LexCase& c = GetParam();
  std::vector<Tok> expected = c.tokens;
  expected.push_back(End);
  EXPECT_EQ(Lex(c.text), expected) << platform::ToUtf8(c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LexerTokens,
    testing::Values(
        LexCase{u"a<=b", {{tkWord, u"A"}, {tkLe, u"<="}, {tkWord, u"B"}}},
        LexCase{u"a< =b", {{tkWord, u"A"}, {tkLt, u"<"}, {tkAssign, u"="}, {tkWord, u"B"}}},
        LexCase{u"x=-1", {{tkWord, u"X"}, {tkAssign, u"="}, {tkMinus, u"-"}, {tkNumber, u"1"}}},
        LexCase{u"== != >= > ! ;",
                {{tkEq, u"=="},
                 {tkNe, u"!="},
                 {tkGe, u">="},
                 {tkGt, u">"},
                 {tkWord, u"!"},
                 {tkWord, u";"}}},
        LexCase{u"(){}[],.:*/+", {{tkLParen, u"("}, {tkRParen, u")"}, {tkLBrace, u"{"},
                                  {tkRBrace, u"}"}, {tkLBracket, u"["}, {tkRBracket, u"]"},
                                  {tkComma, u","}, {tkDot, u"."}, {tkColon, u":"},
                                  {tkStar, u"*"}, {tkSlash, u"/"}, {tkPlus, u"+"}}},
        LexCase{u"0x1Fg 0X", {{tkHex, u"0x1F"}, {tkWord, u"G"}, {tkHex, u"0X"}}},
        LexCase{u"and And AND ANDY or Not xor",
                {{tkAnd, u"AND"},
                 {tkAnd, u"AND"},
                 {tkAnd, u"AND"},
                 {tkWord, u"ANDY"},
                 {tkOr, u"OR"},
                 {tkNot, u"NOT"},
                 {tkXor, u"XOR"}}},
        LexCase{u"1.5e-3 1e5+3", {{tkNumber, u"1.5e-3"}, {tkNumber, u"1e5"}, {tkPlus, u"+"},
                                  {tkNumber, u"3"}}},
        LexCase{u"1.2.3 12abc 2e .5",
                {{tkNumber, u"1.2"}, {tkDot, u"."}, {tkNumber, u"3"}, {tkNumber, u"12"},
                 {tkWord, u"ABC"}, {tkNumber, u"2e"}, {tkDot, u"."}, {tkNumber, u"5"}}},
        LexCase{u"_a$1#b $x #cmd", {{tkWord, u"_A$1#B"}, {tkWord, u"$X"}, {tkWord, u"#CMD"}}},
        LexCase{u"abc日本語def", {{tkWord, u"ABC"}, {tkWord, u"日本語"}, {tkWord, u"DEF"}}},
        LexCase{u"\x3000x\x3000\x3000y", {{tkWord, u"X"}, {tkWord, u"Y"}}},
        LexCase{u"' a comment }\nPRINT 'more", {{tkWord, u"PRINT"}}},
        LexCase{u"\"a\\tb\\n\\\\\\\"c\" \"C:\\Data\" \"C:\\temp\"",
                {{tkString, u"a\tb\n\\\"c"}, {tkString, u"C:Data"}, {tkString, u"C:\temp"}}},
        LexCase{u"\"\\r\\f\\q\"", {{tkString, u"\r\fq"}}},
        LexCase{u"\"line\nbreak\"", {{tkString, u"line\nbreak"}}},
        LexCase{u"\"unterminated", {{tkString, u"unterminated"}}},
        LexCase{u"\"ends in a backslash\\", {{tkString, u"ends in a backslash"}}},
        LexCase{u"\x1 x", {{tkWord, u"\x1"}, {tkWord, u"X"}}}));

TEST(Lexer, LowerCaseWordsStayWithUpperOff) {
  EXPECT_EQ(Lex(u"and AND abc", 0),
            (std::vector<Tok>{{tkWord, u"and"}, {tkAnd, u"AND"}, {tkWord, u"abc"}, End}));
}

TEST(Lexer, EmptyAndBlankTextsEndAtOnceAndStayAtTheEnd) {
  for (const char16_t* text : {u"", u" \t\r\n\x3000 "}) {
    wword lexer(text);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(lexer.Next(), tkEnd);
      EXPECT_EQ(lexer.token[0], 0);
    }
  }
}

TEST(Lexer, PositionsAndBack) {
  wword lexer(u"  ab + 12");
  EXPECT_EQ(lexer.Next(), tkWord);
  EXPECT_EQ(lexer.start, 2);
  EXPECT_EQ(lexer.pos, 4);
  EXPECT_EQ(lexer.Next(), tkPlus);
  EXPECT_EQ(lexer.start, 5);
  lexer.Back();
  EXPECT_EQ(lexer.pos, 5);
  EXPECT_EQ(lexer.start, 2);
  EXPECT_EQ(lexer.Next(), tkPlus);
  lexer.Back();
  lexer.Back();  // a second Back goes to the token before
  EXPECT_EQ(lexer.Next(), tkWord);
  EXPECT_EQ(std::u16string(lexer.token), u"AB");
  lexer.SetText(u"x");
  EXPECT_EQ(lexer.pos, 0);
  EXPECT_EQ(lexer.Next(), tkWord);
  EXPECT_EQ(std::u16string(lexer.token), u"X");
}

TEST(Lexer, CommentOnTheLastLineIsFollowedByTheEnd) {
  EXPECT_EQ(Lex(u"x ' no line feed"), (std::vector<Tok>{{tkWord, u"X"}, End}));
}

TEST(Lexer, SkipLineStopsAfterTheLineFeedOrAtTheEnd) {
  wword lexer(u"rest of line\nNEXT");
  EXPECT_EQ(lexer.SkipLine(), tkNewLine);
  EXPECT_EQ(lexer.Next(), tkWord);
  EXPECT_EQ(std::u16string(lexer.token), u"NEXT");
  EXPECT_EQ(lexer.SkipLine(), tkEnd);
  EXPECT_EQ(lexer.pos, 17);
}

TEST(Lexer, SkipItemPassesOverWholeBlocks) {
  // A string and a comment holding braces, and a nested block.
  wword lexer(u"{ a = \"}\" ' } here\n { { b } } } after");
  EXPECT_EQ(lexer.SkipItem(), tkWord);
  EXPECT_EQ(lexer.Next(), tkWord);
  EXPECT_EQ(std::u16string(lexer.token), u"AFTER");

  wword single(u"BREAK x");
  EXPECT_EQ(single.SkipItem(), tkWord);
  EXPECT_EQ(std::u16string(single.token), u"BREAK");

  wword stray(u"} x");
  EXPECT_EQ(stray.SkipItem(), tkRBrace);
}

TEST(Lexer, UnclosedBlockGivesError) {
  wword lexer(u"{ { x }");
  EXPECT_EQ(lexer.SkipItem(), tkError);
  wword block(u"a } b");
  EXPECT_EQ(block.SkipBlock(), tkRBrace);
  EXPECT_EQ(block.Next(), tkWord);
  EXPECT_EQ(std::u16string(block.token), u"B");
  wword open(u"a { b }");
  EXPECT_EQ(open.SkipBlock(), tkError);
}

TEST(Lexer, DeeplyNestedBlocksAreSkipped) {
  std::u16string text(200000, u'{');
  text += std::u16string(200000, u'}');
  text += u" x";
  wword lexer(text.c_str());
  EXPECT_EQ(lexer.SkipItem(), tkWord);
  EXPECT_EQ(lexer.Next(), tkWord);
  EXPECT_EQ(std::u16string(lexer.token), u"X");
}

// Tokens longer than the buffer are cut at 255 units; the rest of them is
// dropped and the scan goes on behind them.
TEST(Lexer, OverlongTokensAreCutAndPassed) {
  struct Case {
    std::u16string body;
    int32_t code;
    std::u16string kept;
  };
  const std::u16string a300(300, u'a'), A255(255, u'A');
  const std::u16string d300(300, u'7'), d255(255, u'7');
  const std::u16string w300(300, u'あ'), w255(255, u'あ');
  const std::u16string hex = u"0x" + std::u16string(300, u'f');
  const std::u16string s300(300, u's'), s255(255, u's');
  const std::vector<Case> cases = {
      {a300, tkWord, A255},
      {d300, tkNumber, d255},
      {w300, tkWord, w255},
      {hex, tkHex, hex.substr(0, 255)},
      {u"\"" + s300 + u"\"", tkString, s255},
  };
  for (const Case& c : cases) {
    const std::u16string text = c.body + u" next";
    wword lexer(text.c_str());
    EXPECT_EQ(lexer.Next(), c.code);
    EXPECT_EQ(std::u16string(lexer.token), c.kept);
    EXPECT_EQ(lexer.pos, static_cast<int32_t>(c.body.size()));
    EXPECT_EQ(lexer.Next(), tkWord);
    EXPECT_EQ(std::u16string(lexer.token), u"NEXT");
  }
}

TEST(Lexer, OverlongUnterminatedStringStopsAtTheTerminator) {
  // The text sits in a heap block of exactly its size, so that a read past
  // the terminator is caught by the address sanitizer.
  const std::u16string body = u"\"" + std::u16string(400, u'z');
  auto text = std::make_unique<char16_t[]>(body.size() + 1);
  std::copy(body.begin(), body.end(), text.get());
  text[body.size()] = 0;
  wword lexer(text.get());
  EXPECT_EQ(lexer.Next(), tkString);
  EXPECT_EQ(std::u16string(lexer.token), std::u16string(255, u'z'));
  EXPECT_EQ(lexer.pos, static_cast<int32_t>(body.size()));
  EXPECT_EQ(lexer.Next(), tkEnd);
}

TEST(Lexer, HeapAllocatedLexer) {
  auto* lexer = new wword(u"x");
  EXPECT_EQ(lexer->upper, 1);
  EXPECT_EQ(lexer->Next(), tkWord);
  delete lexer;
}

}  // namespace
