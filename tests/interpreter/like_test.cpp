#include "interpreter/wlike.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/text.h"

namespace {

struct Case {
  const char16_t* subject;
  const char16_t* pattern;
  int32_t expected;
};

void Check(const Case* cases, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    wlike matcher(nullptr);
    EXPECT_EQ(matcher.Like(cases[i].subject, cases[i].pattern), cases[i].expected)
        << "\"" << platform::ToUtf8(cases[i].subject) << "\" LIKE \""
        << platform::ToUtf8(cases[i].pattern) << "\"";
  }
}

TEST(Like, LiteralsWildcardsAndDigits) {
  const Case cases[] = {
      {u"abc", u"a", -1},     {u"abc", u"a*", -1},    {u"abc", u"*c", -1},
      {u"abc", u"abc", -1},   {u"abc", u"abd", 0},    {u"A", u"a", 0},
      {u"", u"", -1},         {u"", u"*", -1},        {u"", u"?", 0},
      {u"a", u"", 0},         {u"abc", u"a?c", -1},   {u"ac", u"a?c", 0},
      {u"a1", u"a#", -1},     {u"ab", u"a#", 0},      {u"a１", u"a#", 0},
      {u"abcabd", u"*abd", -1}, {u"abcabc", u"*abd", 0}, {u"xaybzc", u"*a*b*c", -1},
      {u"xaybz", u"*a*b*c", 0}, {u"abc", u"**c", -1},  {u"漢字", u"漢?", -1},
  };
  Check(cases, std::size(cases));
}

TEST(Like, Sets) {
  const Case cases[] = {
      {u"b", u"[a-c]", -1},  {u"d", u"[a-c]", 0},   {u"d", u"[!a-c]", -1},
      {u"b", u"[!a-c]", 0},  {u"-", u"[-a]", -1},   {u"-", u"[a-]", -1},
      {u"b", u"[abc]", -1},  {u"x", u"[abc]", 0},   {u"*", u"[*?#]", -1},
      {u"1", u"[*?#]", 0},   {u"!", u"[a!]", -1},   {u"", u"[!a]", -1},
      {u"abc", u"abc[]", -1}, {u"abcd", u"abc[]", 0}, {u"", u"[]", -1},
      {u"ab", u"[a-c][a-c]", -1}, {u"xb", u"[a-c]b", 0}, {u"b", u"[a", 0},
      {u"abc", u"*[]", -1}, {u"b", u"[a-<c>]", -1}, {u"d", u"[a-<c>]", 0},
      {u"]", u"[<]>]", -1},
      // The bounds of a range belong to it.
      {u"a", u"[a-c]", -1}, {u"c", u"[a-c]", -1}, {u"c", u"[!a-c]", 0},
      {u"cx", u"[a-c]x", -1},
  };
  Check(cases, std::size(cases));
}

TEST(Like, EscapesAndStrayTokens) {
  const Case cases[] = {
      {u"*", u"<*>", -1},   {u"x", u"<*>", 0},    {u"<", u"<<>", -1},
      {u"a?", u"a<?>", -1}, {u"ab", u"a<?>", 0},  {u"a", u"<ab", 0},
      {u"a", u"a<", -1},    {u"a", u"a]", -1},    {u"b", u"a]", 0},
      {u"a", u"]", 0},      {u"a-", u"a-", -1},   {u"a", u"*]", 0},
  };
  Check(cases, std::size(cases));
}

TEST(Like, ManyStarsStayQuick) {
  // Every star retrying every start would take astronomically long here.
  const std::u16string subject(2000, u'a');
  std::u16string pattern;
  for (int i = 0; i < 30; ++i) pattern += u"*a";
  wlike matcher(nullptr);
  EXPECT_EQ(matcher.Like(subject.c_str(), (pattern + u"b").c_str()), 0);
  EXPECT_EQ(matcher.Like(subject.c_str(), (pattern + u"*").c_str()), -1);
}

TEST(Like, AMatcherThatCannotBeAllocatedRaisesInsteadOfGivingNull) {
  platform::FailGlobalAllocAfter(0);
  wlike* matcher = nullptr;
  EXPECT_THROW(matcher = new wlike(u"abc"), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);
  EXPECT_EQ(matcher, nullptr);

  matcher = new wlike(u"abc");
  EXPECT_EQ(matcher->Like(u"abc", u"a*"), -1);
  delete matcher;
}

}  // namespace
