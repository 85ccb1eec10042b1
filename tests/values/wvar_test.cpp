#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/text.h"
#include "values/wvar.h"

namespace {

std::string Text(wvar& v) { return platform::ToUtf8(v.AsString()); }
std::string U8(const char16_t* s) { return platform::ToUtf8(s); }

wvar Str(const char16_t* s) { return wvar(s); }

int probe = 0;
int other = 0;

class WvarAllocationFailures : public ::testing::Test {
protected:
  void TearDown() override { platform::FailGlobalAllocAfter(-1); }
};

TEST(WvarConversion, RealToText) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {1.0, "1"},
      {0.1, "0.1"},
      {-2.5, "-2.5"},
      {1e20, "1e+20"},
      {1.23456789012345678e17, "1.23456789012346e+17"},
      {1e-5, "1e-05"},
      {-42.0, "-42"},
      {-0.0, "-0"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1e+15"},
      {-123456789012345.0, "-123456789012345"},
      {4503599627370497.0, "4.5035996273705e+15"},
      {0.0001, "0.0001"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1e+15"},
  };
  for (const Case& c : cases) {
    wvar v(c.value);
    EXPECT_EQ(Text(v), c.text);
    EXPECT_EQ(std::string(v.AsAnsi()), c.text);
    v.ChangeType(vtString);
    EXPECT_EQ(v.type, vtString);
    EXPECT_EQ(U8(v.Chars()), c.text);
  }
}

TEST(WvarConversion, RealToInteger) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double value;
    int32_t result;
  } cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {3000000000.5, -1294967296},
      {-3000000000.5, 1294967296},
      {4294967296.0 * 3 + 5, 5},
      {9.2e18, static_cast<int32_t>(static_cast<uint32_t>(9200000000000000000ull))},
      {-9223372036854775808.0, 0},
      {1e19, 0},
      {-1e19, 0},
      {inf, 0},
      {nan, 0},
  };
  for (const Case& c : cases) {
    wvar v(c.value);
    EXPECT_EQ(v.AsInt(), c.result) << c.value;
    EXPECT_EQ(v.Convert(vtInt).AsInt(), c.result) << c.value;
  }
}

TEST(WvarConversion, TextToNumbers) {
  struct Case {
    const char16_t* text;
    int32_t integer;
    double real;
  } cases[] = {
      {u"12abc", 12, 12.0},
      {u"  -7", -7, -7.0},
      {u"2.5e3", 2, 2500.0},
      {u"99999999999", 1215752191, 99999999999.0},
      {u"abc", 0, 0.0},
      {u"", 0, 0.0},
  };
  for (const Case& c : cases) {
    wvar v(c.text);
    EXPECT_EQ(v.AsInt(), c.integer) << U8(c.text);
    EXPECT_EQ(v.AsReal(), c.real) << U8(c.text);
    EXPECT_EQ(v.Convert(vtReal).AsReal(), c.real) << U8(c.text);
    wvar copy(v);
    copy.ChangeType(vtInt);
    EXPECT_EQ(copy.type, vtInt);
    EXPECT_EQ(copy.AsInt(), c.integer);
  }
}

TEST(WvarConversion, IntegerToTextAndReal) {
  for (int32_t n : {0, 7, -7, 2147483647, -2147483647 - 1}) {
    wvar v(n);
    EXPECT_EQ(Text(v), std::to_string(n));
    EXPECT_EQ(std::string(v.AsAnsi()), std::to_string(n));
    EXPECT_EQ(v.AsReal(), static_cast<double>(n));
  }
  wvar v(5);
  v.ChangeType(vtReal);
  EXPECT_EQ(v.type, vtReal);
  EXPECT_EQ(v.AsReal(), 5.0);
}

TEST(WvarConversion, PointerReadsAsZeroAndEmptyWhateverTheTempHeld) {
  wvar v(42);
  EXPECT_EQ(v.Convert(vtInt).AsInt(), 42);
  v.Convert(vtReal);
  v.SetPointer(&probe);
  EXPECT_EQ(v.Convert(vtInt).AsInt(), 0);
  wvar w(u"abc");
  EXPECT_EQ(Text(w), "abc");
  w.SetPointer(&probe);
  EXPECT_EQ(Text(w), "");
  EXPECT_EQ(w.AsInt(), 0);
  EXPECT_EQ(w.AsReal(), 0.0);
  EXPECT_EQ(w.Convert(vtPointer).AsPointer(), &probe);
  EXPECT_EQ(std::string(w.AsAnsi()), "");

  wvar p(static_cast<void*>(&probe));
  p.ChangeType(vtString);
  EXPECT_EQ(p.type, vtString);
  EXPECT_EQ(p.Length(), 0);
}

enum class Op { Add, Sub, Mul, Div };

wvar& Apply(wvar& left, Op op, const wvar& right) {
  switch (op) {
    case Op::Add:
      return left.Add(right);
    case Op::Sub:
      return left.Sub(right);
    case Op::Mul:
      return left.Mul(right);
    case Op::Div:
      return left.Div(right);
  }
  return left;
}

TEST(WvarArithmetic, TheLeftOperandTakesTheRightOperandsType) {
  const int32_t kMin = std::numeric_limits<int32_t>::min();
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  struct Case {
    wvar left;
    Op op;
    wvar right;
    int32_t type;
    const char* text;
  } cases[] = {
      {wvar(1), Op::Add, wvar(2.5), vtReal, "3.5"},
      {wvar(2.5), Op::Add, wvar(1), vtInt, "3"},
      {wvar(1), Op::Add, Str(u"ab"), vtString, "1ab"},
      {Str(u"ab"), Op::Add, wvar(1), vtInt, "1"},
      {Str(u"5"), Op::Add, wvar(1), vtInt, "6"},
      {wvar(5), Op::Add, Str(u"1"), vtString, "51"},
      {Str(u"日本"), Op::Add, Str(u"語です"), vtString, "日本語です"},
      {Str(u"ab"), Op::Sub, Str(u"ac"), vtInt, "-1"},
      {Str(u"a"), Op::Sub, Str(u""), vtInt, "97"},
      {Str(u""), Op::Sub, Str(u"a"), vtInt, "-97"},
      {Str(u"abc"), Op::Sub, Str(u"abc"), vtInt, "0"},
      {Str(u"\uFF21"), Op::Sub, Str(u"A"), vtInt, "65248"},
      {wvar(7), Op::Div, wvar(2), vtInt, "3"},
      {wvar(-7), Op::Div, wvar(2), vtInt, "-3"},
      {wvar(7.0), Op::Div, wvar(2), vtInt, "3"},
      {wvar(7), Op::Div, wvar(2.0), vtReal, "3.5"},
      {wvar(kMin), Op::Div, wvar(-1), vtInt, "-2147483648"},
      {wvar(7), Op::Div, wvar(-1), vtInt, "-7"},
      {wvar(7), Op::Div, wvar(0), vtInt, "0"},
      {wvar(1.5), Op::Sub, wvar(0.25), vtReal, "1.25"},
      {wvar(kMax), Op::Add, wvar(1), vtInt, "-2147483648"},
      {wvar(kMin), Op::Sub, wvar(1), vtInt, "2147483647"},
      {wvar(65536), Op::Mul, wvar(65536), vtInt, "0"},
      {wvar(-3), Op::Mul, wvar(4), vtInt, "-12"},
      {wvar(0.1), Op::Mul, wvar(3.0), vtReal, "0.3"},
      {Str(u"abc"), Op::Mul, wvar(2), vtInt, "0"},
      {wvar(2), Op::Mul, Str(u"abc"), vtString, ""},
      {Str(u"abc"), Op::Div, Str(u"a"), vtString, ""},
  };
  for (Case& c : cases) {
    wvar& result = Apply(c.left, c.op, c.right);
    EXPECT_EQ(&result, c.left.conv);
    EXPECT_EQ(result.type, c.type) << c.text;
    EXPECT_EQ(Text(result), c.text);
  }
}

TEST(WvarArithmetic, TheOperandsThemselvesStayAsTheyWere) {
  wvar left(u"12");
  wvar right(3);
  EXPECT_EQ(left.Add(right).AsInt(), 15);
  EXPECT_EQ(left.type, vtString);
  EXPECT_EQ(U8(left.Chars()), "12");
  EXPECT_EQ(right.AsInt(), 3);
  // The temp is reused: a later operation overwrites the earlier result.
  wvar* temp = left.conv;
  EXPECT_EQ(left.Mul(right).AsInt(), 36);
  EXPECT_EQ(left.conv, temp);
}

TEST(WvarArithmetic, APointerOnTheRightGivesTheLeftOperandBack) {
  wvar left(5);
  wvar pointer(static_cast<void*>(&probe));
  for (Op op : {Op::Add, Op::Sub, Op::Mul, Op::Div}) {
    wvar& result = Apply(left, op, pointer);
    EXPECT_EQ(&result, &left);
    EXPECT_EQ(left.AsInt(), 5);
  }
  // A pointer on the left reads as 0.
  EXPECT_EQ(pointer.Add(wvar(1)).AsInt(), 1);
}

TEST(WvarComparison, ByTheRightOperandsType) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    wvar left;
    wvar right;
    int eq, ne, gt, lt, ge, le;
  } cases[] = {
      {Str(u"b"), Str(u"a"), 0, 1, 1, 0, 1, 0},
      {Str(u"B"), Str(u"a"), 0, 1, 0, 1, 0, 1},
      {Str(u"ab"), Str(u"abc"), 0, 1, 0, 1, 0, 1},
      {Str(u"abc"), Str(u"abc"), 1, 0, 0, 0, 1, 1},
      {Str(u"\uFF21"), Str(u"z"), 0, 1, 1, 0, 1, 0},
      {wvar(10), Str(u"10"), 1, 0, 0, 0, 1, 1},
      {Str(u"10"), wvar(10.0), 1, 0, 0, 0, 1, 1},
      {wvar(2), Str(u"10"), 0, 1, 1, 0, 1, 0},       // compared as texts
      {wvar(2), wvar(10), 0, 1, 0, 1, 0, 1},
      {wvar(1.5), wvar(1), 1, 0, 0, 0, 1, 1},        // 1.5 becomes the integer 1
      {wvar(1), wvar(1.5), 0, 1, 0, 1, 0, 1},
      {wvar(-1), wvar(0), 0, 1, 0, 1, 0, 1},
      {wvar(nan), wvar(nan), 0, 1, 0, 0, 0, 0},
      {wvar(static_cast<void*>(&probe)), wvar(static_cast<void*>(&probe)), 1, 0, 0, 0, 1, 1},
      {wvar(static_cast<void*>(&probe)), wvar(static_cast<void*>(&other)), 0, 1, &probe > &other,
       &probe < &other, &probe > &other, &probe < &other},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(Text(c.left) + " vs " + Text(c.right));
    EXPECT_EQ(c.left.Eq(c.right), c.eq);
    EXPECT_EQ(c.left.Ne(c.right), c.ne);
    EXPECT_EQ(c.left.Gt(c.right), c.gt);
    EXPECT_EQ(c.left.Lt(c.right), c.lt);
    EXPECT_EQ(c.left.Ge(c.right), c.ge);
    EXPECT_EQ(c.left.Le(c.right), c.le);
  }
}

TEST(WvarStorage, FourUnitsInlineFiveOnTheHeap) {
  wvar v(u"abcd");
  EXPECT_EQ(v.data, static_cast<void*>(v.buffer));
  EXPECT_EQ(v.capacity, 8);
  v = u"abcde";
  EXPECT_NE(v.data, static_cast<void*>(v.buffer));
  EXPECT_EQ(v.capacity, 10);
  EXPECT_EQ(GlobalSize(v.data), 12u);
  EXPECT_EQ(U8(v.Chars()), "abcde");
  // A block that is large enough is kept, and numbers never allocate.
  void* block = v.data;
  v = u"xy";
  EXPECT_EQ(v.data, block);
  v = 1.5;
  EXPECT_EQ(v.data, block);
  EXPECT_EQ(v.AsReal(), 1.5);
  v = u"12345";
  EXPECT_EQ(v.data, block);
}

TEST(WvarStorage, AppendLeavesTheInlineBufferExactlyAndGrowsWithRoomToSpare) {
  wvar v(u"ab");
  v.Append(u"cd");
  EXPECT_EQ(v.data, static_cast<void*>(v.buffer));
  v.Append(u"efg");
  EXPECT_EQ(v.capacity, 14);
  EXPECT_EQ(GlobalSize(v.data), 16u);
  EXPECT_EQ(U8(v.Chars()), "abcdefg");
  v.Append(v.Chars() + 5);  // a piece of itself
  EXPECT_EQ(U8(v.Chars()), "abcdefgfg");
  v.Append(u"");
  v.Append(nullptr);
  EXPECT_EQ(U8(v.Chars()), "abcdefgfg");
  EXPECT_EQ(v.Length(), 9);
  // A text built piece by piece moves to a new block only now and then.
  int moves = 0;
  for (int i = 0; i < 1000; ++i) {
    void* block = v.data;
    v.Append(u"x");
    if (v.data != block) ++moves;
  }
  EXPECT_LT(moves, 20);
  EXPECT_EQ(v.Length(), 1009);
  EXPECT_EQ(platform::u16len(v.Chars()), 1009u);
  v.Append(v.Chars());  // the whole of itself, across a move
  EXPECT_EQ(v.Length(), 2018);
  EXPECT_EQ(U8(v.Chars()).substr(1000, 18), "xxxxxxxxxabcdefgfg");
}

TEST(WvarStorage, CopiesOwnTheirText) {
  auto* original = new wvar(u"a text longer than four");
  wvar copy(*original);
  wvar assigned;
  assigned = *original;
  EXPECT_NE(copy.data, original->data);
  EXPECT_EQ(copy.conv, nullptr);
  delete original;
  EXPECT_EQ(U8(copy.Chars()), "a text longer than four");
  EXPECT_EQ(U8(assigned.Chars()), "a text longer than four");
  assigned = assigned;
  EXPECT_EQ(U8(assigned.Chars()), "a text longer than four");
  assigned = assigned.Chars() + 7;  // a tail of its own text
  EXPECT_EQ(U8(assigned.Chars()), "longer than four");
  wvar empty(static_cast<const char16_t*>(nullptr));
  EXPECT_EQ(empty.type, vtString);
  EXPECT_EQ(empty.Length(), 0);
}

// Copies of a long text share nothing: whatever edits one of them, an
// assignment afterwards gives the other the edited text, and lengths follow.
TEST(WvarStorage, EveryEditIsSeenByTheNextCopy) {
  using Edit = std::function<void(wvar&)>;
  struct Case {
    const char* name;
    Edit edit;
    const char* expected;
  } cases[] = {
      {"upper", [](wvar& v) { v.Upper(); }, "HELLO, WORLD"},
      {"lower", [](wvar& v) { v.Lower(); }, "hello, world"},
      {"same length", [](wvar& v) { v = u"abcdefghijkl"; }, "abcdefghijkl"},
      {"shorter", [](wvar& v) { v = u"short one"; }, "short one"},
      {"delete", [](wvar& v) { v.Delete(0, 7); }, "World"},
      {"insert", [](wvar& v) { v.Insert(Str(u"big "), 7); }, "Hello, big World"},
      {"replace", [](wvar& v) { v.ReplaceAll(Str(u"o"), Str(u"0")); }, "Hell0, W0rld"},
      {"assign mid", [](wvar& v) { v.AssignMid(Str(u"0123456789abcdef"), 2, 11); },
       "23456789abc"},
      {"append", [](wvar& v) { v.Append(u"!"); }, "Hello, World!"},
      {"number", [](wvar& v) { v = 12345; v.ChangeType(vtString); }, "12345"},
      {"ansi", [](wvar& v) { v = "from bytes"; }, "from bytes"},
  };
  for (const Case& c : cases) {
    wvar original(u"Hello, World");
    wvar copy(original);
    wvar assigned;
    assigned = original;
    c.edit(original);
    copy = original;
    assigned = original;
    EXPECT_EQ(U8(copy.Chars()), c.expected) << c.name;
    EXPECT_EQ(U8(assigned.Chars()), c.expected) << c.name;
    EXPECT_EQ(copy.Length(), static_cast<int32_t>(std::strlen(c.expected))) << c.name;
    // And the edit reached neither copy before the assignment.
    wvar untouched(u"Hello, World");
    wvar second(untouched);
    c.edit(untouched);
    EXPECT_EQ(U8(second.Chars()), "Hello, World") << c.name;
  }
}

// An append is carried over to an older copy by appending the same piece;
// a copy edited in between must take the whole text instead.
TEST(WvarStorage, AppendsReachOlderCopiesOnlyWhileTheyAreUnchanged) {
  wvar text(u"a text of some length");
  wvar older(text);
  text.Append(u" and more");
  older = text;
  EXPECT_EQ(U8(older.Chars()), "a text of some length and more");
  EXPECT_EQ(older.Length(), 30);

  wvar edited(text);
  text.Append(u"!");
  edited.Upper();
  edited = text;
  EXPECT_EQ(U8(edited.Chars()), "a text of some length and more!");

  wvar stale(text);
  text.Append(u"?");
  stale.Delete(0, 2);
  stale.Append(u"#");  // same length as before, different text
  stale = text;
  EXPECT_EQ(U8(stale.Chars()), "a text of some length and more!?");

  wvar number(text);
  text.Append(u".");
  number = 5;
  number = text;
  EXPECT_EQ(U8(number.Chars()), "a text of some length and more!?.");
}

TEST(WvarStorage, ValuesMadeWithNewLiveOnTheGlobalHeap) {
  wvar* v = new wvar(3);
  EXPECT_EQ(GlobalSize(v), sizeof(wvar));
  v->AsString();
  EXPECT_EQ(GlobalSize(v->conv), sizeof(wvar));
  delete v;
}

TEST(WvarAnsi, JapaneseTextBothWays) {
  const char* nihongo = "\x93\xfa\x96\x7b\x8c\xea";  // 日本語
  wvar v;
  v.SetAnsi(nihongo);
  EXPECT_EQ(v.type, vtString);
  EXPECT_EQ(U8(v.Chars()), "日本語");
  const char* back = v.AsAnsi();
  EXPECT_EQ(std::strlen(back), 6u);
  EXPECT_EQ(std::string(back), nihongo);
  v = "x\xb1y";  // half-width katakana
  EXPECT_EQ(U8(v.Chars()), "xｱy");
  EXPECT_EQ(std::string(v.AsAnsi()), "x\xb1y");
  v = u"한글 ok";
  EXPECT_EQ(std::string(v.AsAnsi()), "?? ok");
}

TEST(WvarAnsi, InvalidBytesBecomeReplacementUnits) {
  struct Case {
    const char* bytes;
    const char* text;
  } cases[] = {
      {"a\xff" "b", "a\uFFFDb"},
      {"\x81\x20x", "\uFFFD x"},
      {"ab\x82", "ab\uFFFD"},
      {"\x80\xa0", "\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    wvar v;
    v.SetAnsi(c.bytes);
    EXPECT_EQ(U8(v.Chars()), c.text);
  }
}

TEST(WvarAnsi, EmptyTexts) {
  wvar v(u"previous text");
  v.SetAnsi("");
  EXPECT_EQ(v.type, vtString);
  EXPECT_EQ(v.Length(), 0);
  v.SetAnsi(nullptr);
  EXPECT_EQ(v.Length(), 0);
  EXPECT_EQ(std::string(v.AsAnsi()), "");
  // The temp keeps a longer text from before; the new one must end it.
  wvar w(u"abcdefgh");
  w.AsAnsi();
  w = u"";
  EXPECT_EQ(std::string(w.AsAnsi()), "");
  w = u"日";
  EXPECT_EQ(std::string(w.AsAnsi()), "\x93\xfa");
}

TEST(WvarText, LowerAndUpper) {
  wvar v(u"ÀbΩ Ｚ");
  v.Upper();
  EXPECT_EQ(U8(v.Chars()), "ÀBΩ Ｚ");
  v.Lower();
  EXPECT_EQ(U8(v.Chars()), "àbω ｚ");
  wvar n(5);
  n.Upper();
  EXPECT_EQ(n.type, vtInt);
  EXPECT_EQ(n.AsInt(), 5);
}

TEST(WvarText, Substrings) {
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  struct Case {
    std::function<wvar&(wvar&)> op;
    const char* expected;
  } cases[] = {
      {[](wvar& v) -> wvar& { return v.Mid(1, 3); }, "ell"},
      {[](wvar& v) -> wvar& { return v.Mid(3, 100); }, "lo"},
      {[&](wvar& v) -> wvar& { return v.Mid(0, kMax); }, "hello"},
      {[](wvar& v) -> wvar& { return v.Mid(5, 1); }, ""},
      {[](wvar& v) -> wvar& { return v.Mid(-1, 2); }, ""},
      {[](wvar& v) -> wvar& { return v.Mid(0, 0); }, ""},
      {[&](wvar& v) -> wvar& { return v.Mid(kMax, kMax); }, ""},
      {[](wvar& v) -> wvar& { return v.Right(2); }, "lo"},
      {[](wvar& v) -> wvar& { return v.Right(9); }, "hello"},
      {[](wvar& v) -> wvar& { return v.Right(0); }, ""},
      {[](wvar& v) -> wvar& { return v.Right(-3); }, ""},
      {[](wvar& v) -> wvar& { return v.FirstLine(3); }, "hel"},
      {[](wvar& v) -> wvar& { return v.FirstLine(99); }, "hello"},
      {[](wvar& v) -> wvar& { return v.FirstLine(0); }, ""},
  };
  for (Case& c : cases) {
    wvar v(u"hello");
    wvar& result = c.op(v);
    EXPECT_EQ(&result, v.conv);
    EXPECT_EQ(U8(result.Chars()), c.expected);
    EXPECT_EQ(U8(v.Chars()), "hello");
  }
  wvar lines(u"ab\r\ncd");
  EXPECT_EQ(U8(lines.FirstLine(10).Chars()), "ab");
  lines = u"\nx";
  EXPECT_EQ(U8(lines.FirstLine(10).Chars()), "");
  lines = u"ab\ncd";
  EXPECT_EQ(U8(lines.FirstLine(10).Chars()), "ab");

  wvar number(5);
  EXPECT_EQ(&number.Mid(0, 1), &number);
  EXPECT_EQ(&number.Right(1), &number);
  EXPECT_EQ(&number.FirstLine(1), &number);
}

TEST(WvarText, AssignLeftAndMid) {
  struct Case {
    wvar source;
    int32_t start;
    int32_t count;
    const char* expected;
  } cases[] = {
      {Str(u"hello"), 0, 3, "hel"},
      {Str(u"hello"), 4, 10, "o"},
      {Str(u"hello"), 1, 2, "el"},
      {Str(u"hello"), 0, 0, "zz"},     // the target stays unchanged
      {Str(u"hello"), 5, 1, "zz"},
      {Str(u"hello"), -1, 2, "zz"},
      {Str(u""), 0, 3, "zz"},
      {wvar(12345), 0, 2, "zz"},
  };
  for (Case& c : cases) {
    wvar target(u"zz");
    target.AssignMid(c.source, c.start, c.count);
    EXPECT_EQ(U8(target.Chars()), c.expected) << c.start << "," << c.count;
  }
  wvar target(7);
  target.AssignLeft(Str(u"text"), 2);
  EXPECT_EQ(target.type, vtString);
  EXPECT_EQ(U8(target.Chars()), "te");
  wvar self(u"a longer text");
  self.AssignMid(self, 2, 6);
  EXPECT_EQ(U8(self.Chars()), "longer");
}

TEST(WvarText, DeleteAndInsert) {
  struct DeleteCase {
    int32_t index, count;
    const char* expected;
  } deletes[] = {
      {1, 2, "hlo"}, {0, 5, ""}, {3, 100, "hel"}, {-1, 1, "hello"}, {0, -1, "hello"}, {5, 1, "hello"}, {2, 0, "hello"},
  };
  for (const DeleteCase& c : deletes) {
    wvar v(u"hello");
    v.Delete(c.index, c.count);
    EXPECT_EQ(U8(v.Chars()), c.expected) << c.index << "," << c.count;
  }
  struct InsertCase {
    const char16_t* into;
    const char16_t* text;
    int32_t index;
    const char* expected;
  } inserts[] = {
      {u"hello", u"XY", 2, "heXYllo"},
      {u"hello", u"XY", -3, "XYhello"},
      {u"hello", u"XY", 99, "helloXY"},
      {u"hello", u"", 2, "hello"},
      {u"", u"ab", 0, "ab"},
      {u"ab", u"c", 1, "acb"},        // fits inline
  };
  for (const InsertCase& c : inserts) {
    wvar v(c.into);
    v.Insert(Str(c.text), c.index);
    EXPECT_EQ(U8(v.Chars()), c.expected);
  }
  wvar grown(u"abcdef");
  grown.Insert(Str(u"XYZ"), 3);
  EXPECT_EQ(grown.capacity, 18);
  EXPECT_EQ(U8(grown.Chars()), "abcXYZdef");
  grown.Delete(3, 3);
  grown.Insert(Str(u"12"), 0);  // room enough: done in place
  EXPECT_EQ(grown.capacity, 18);
  EXPECT_EQ(U8(grown.Chars()), "12abcdef");
  wvar self(u"ab");
  self.Insert(self, 1);
  EXPECT_EQ(U8(self.Chars()), "aabb");
  EXPECT_EQ(self.data, static_cast<void*>(self.buffer));  // four units still fit inline
  wvar number(5);
  number.Insert(Str(u"x"), 0);
  number.Delete(0, 1);
  EXPECT_EQ(number.type, vtInt);
  EXPECT_EQ(number.AsInt(), 5);
}

TEST(WvarText, Find) {
  struct Case {
    const char16_t* text;
    const char16_t* search;
    int32_t start;
    int32_t position;
  } cases[] = {
      {u"hello", u"l", 0, 2},   {u"hello", u"l", 3, 3},   {u"hello", u"l", 4, -1},
      {u"hello", u"lo", 0, 3},  {u"hello", u"o", 5, -1},  {u"hello", u"h", 6, -1},
      {u"hello", u"h", -1, -1}, {u"hello", u"", 0, -1},   {u"", u"a", 0, -1},
      {u"aaa", u"aaaa", 0, -1}, {u"Hello", u"h", 0, -1},  {u"日本語", u"語", 0, 2},
  };
  for (const Case& c : cases) {
    wvar v(c.text);
    EXPECT_EQ(v.Find(Str(c.search), c.start), c.position) << U8(c.text) << "/" << U8(c.search) << "@" << c.start;
  }
  wvar v(u"abcabc");
  EXPECT_EQ(v.FindFirst(Str(u"ca")), 2);
  EXPECT_EQ(wvar(12).Find(Str(u"1"), 0), -1);
}

TEST(WvarText, ReplaceAll) {
  struct Case {
    const char16_t* text;
    const char16_t* search;
    const char16_t* replacement;
    const char* expected;
  } cases[] = {
      {u"aaa", u"a", u"aa", "aaaaaa"},
      {u"abcabc", u"bc", u"", "aa"},
      {u"a.b.c", u".", u"::", "a::b::c"},
      {u"aaaa", u"aa", u"b", "bb"},
      {u"abc", u"", u"x", "abc"},
      {u"abc", u"z", u"y", "abc"},
      {u"", u"a", u"b", ""},
  };
  for (const Case& c : cases) {
    wvar v(c.text);
    v.ReplaceAll(Str(c.search), Str(c.replacement));
    EXPECT_EQ(U8(v.Chars()), c.expected);
  }
  wvar self(u"abc");
  self.ReplaceAll(self, Str(u"x"));
  EXPECT_EQ(U8(self.Chars()), "x");
}

TEST_F(WvarAllocationFailures, OperatorNewRaisesInsteadOfReturningNull) {
  platform::FailGlobalAllocAfter(0);
  EXPECT_THROW(delete new wvar(1), EOutOfMemory);
  wvar v(3);
  EXPECT_THROW(v.AsString(), EOutOfMemory);
  EXPECT_EQ(v.conv, nullptr);
  EXPECT_THROW(wvar(u"five!"), EOutOfMemory);
}

TEST_F(WvarAllocationFailures, AppendAndInsertKeepTheOldValue) {
  wvar v(u"abcde");
  wvar small(u"ab");
  platform::FailGlobalAllocAfter(0);
  EXPECT_THROW(v.Append(u"fghij"), EOutOfMemory);
  EXPECT_THROW(v.Insert(Str(u"xy"), 1), EOutOfMemory);
  EXPECT_THROW(small.Append(u"cde"), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);
  EXPECT_EQ(U8(v.Chars()), "abcde");
  EXPECT_EQ(U8(small.Chars()), "ab");
  v.Append(u"f");
  EXPECT_EQ(U8(v.Chars()), "abcdef");
}

TEST_F(WvarAllocationFailures, AFailedReserveLeavesAnEmptyAssignableValue) {
  wvar v(u"abcde");
  platform::FailGlobalAllocAfter(0);
  EXPECT_THROW(v = u"a much longer text", EOutOfMemory);
  EXPECT_EQ(v.data, static_cast<void*>(v.buffer));
  EXPECT_EQ(v.capacity, 8);
  EXPECT_EQ(v.type, vtString);
  EXPECT_EQ(v.Length(), 0);
  v = 12;  // numbers need no block
  EXPECT_EQ(v.AsInt(), 12);
  platform::FailGlobalAllocAfter(-1);
  v = u"a much longer text";
  EXPECT_EQ(U8(v.Chars()), "a much longer text");
}

}  // namespace
