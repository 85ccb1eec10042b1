#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/text.h"
#include "values/whash.h"

namespace {

std::string U8(const char16_t* s) { return platform::ToUtf8(s); }

std::u16string Key(const char* prefix, int n) {
  std::string key = prefix;
  key += std::to_string(n);
  return platform::FromUtf8(key);
}

// Keys in the order every walk over a table meets them.
std::vector<std::string> Walk(const whash& table) {
  std::vector<std::string> keys;
  for (int32_t b = 0; b < table.size; ++b)
    for (const wcell* c = table.buckets[b]; c != nullptr; c = c->next) keys.push_back(U8(c->name.Chars()));
  return keys;
}

class TableAllocationFailures : public ::testing::Test {
protected:
  void TearDown() override { platform::FailGlobalAllocAfter(-1); }
};

TEST(WhashIndex, LeadingNumberOrUnitSum) {
  whash table(100);
  struct Case {
    const char16_t* key;
    int32_t bucket;
  } cases[] = {
      {u"3", 3},    {u"03", 3},  {u"3x", 3},   {u"  3", 3},  {u"+3", 3},
      {u"103", 3},  {u"-3", 96},  // 45 + 51
      {u"0", 48},   {u"abc", 94}, {u"", 0},    {u"x1", (120 + 49) % 100},
      // "9" is the last unit that leads a number; ":" just above it is summed.
      {u"9", 9},    {u"95", 95},  {u"100", 0}, {u":", 58},
  };
  for (const Case& c : cases) EXPECT_EQ(table.Index(c.key), c.bucket) << U8(c.key);
  whash seven(7);
  EXPECT_EQ(seven.Index(u"12"), 5);
  EXPECT_EQ(seven.Index(u"2147483647"), 2147483647 % 7);
}

TEST(WhashIndex, VeryLongKeysStayInRange) {
  // 70000 units of U+FFFF sum beyond any 32-bit number.
  std::u16string key(70000, u'\xFFFF');
  whash table(7);
  const uint64_t sum = 70000ull * 0xFFFF;
  EXPECT_EQ(table.Index(key.c_str()), static_cast<int32_t>(sum % 7));
  table.Add(key.c_str(), wvar(1), ckVar);
  ASSERT_NE(table.Find(key.c_str()), nullptr);
  EXPECT_EQ(table.Find(key.c_str())->AsInt(), 1);
  EXPECT_EQ(table.Remove(key.c_str()), 1);
}

TEST(WhashGrowth, RehashesOnlyWhenEntriesOutnumberTheBuckets) {
  whash table(1);
  // Entry count after an add -> bucket count.
  const std::vector<std::pair<int, int>> expected = {
      {1, 1}, {7, 1}, {8, 7}, {13, 7}, {14, 13}, {20, 13}, {21, 20}, {28, 20}, {29, 28},
  };
  size_t next = 0;
  for (int n = 1; n <= 29; ++n) {
    std::u16string key = Key("k", n);
    table.Add(key.c_str(), wvar(n), ckVar);
    if (next < expected.size() && expected[next].first == n) {
      EXPECT_EQ(table.size, expected[next].second) << "after " << n << " entries";
      ++next;
    }
  }
  EXPECT_EQ(table.count, 29);
  for (int n = 1; n <= 29; ++n) {
    std::u16string key = Key("k", n);
    const wcell* c = table.Find(key.c_str());
    ASSERT_NE(c, nullptr) << n;
    EXPECT_EQ(c->value.AsInt(), n);
  }
}

TEST(WhashGrowth, ExplicitGrowth) {
  whash table(1);
  table.Grow(100);
  EXPECT_EQ(table.size, 115);
  table.Grow(50);
  EXPECT_EQ(table.size, 115);
  table.Grow(0);
  EXPECT_EQ(table.size, 115);
}

TEST(WhashGrowth, WalkOrderFollowsTheNewBuckets) {
  whash table(1);
  for (const char16_t* key : {u"1", u"2", u"3", u"4", u"5", u"6", u"15"}) table.Add(key, wvar(0), ckVar);
  // One chain, newest first.
  EXPECT_EQ(Walk(table), (std::vector<std::string>{"15", "6", "5", "4", "3", "2", "1"}));
  // The 8th entry rehashes to 7 buckets: 15 is moved before 1 and so ends
  // behind it in bucket 1; the new 8 goes to that chain's head.
  table.Add(u"8", wvar(0), ckVar);
  EXPECT_EQ(table.size, 7);
  EXPECT_EQ(table.count, 8);
  EXPECT_EQ(Walk(table), (std::vector<std::string>{"8", "1", "15", "2", "3", "4", "5", "6"}));
}

TEST(WhashEntries, FindAddRemove) {
  whash table(3);
  table.Add(u"x", wvar(1), ckVar);
  table.Add(u"y", wvar(2), ckVar);
  table.Add(u"x", wvar(3), ckSub);  // a second entry for the same key
  EXPECT_EQ(table.count, 3);
  EXPECT_EQ(table.Find(u"x")->AsInt(), 3);
  EXPECT_EQ(table.Find(u"x")->kind, ckSub);
  EXPECT_EQ(table.Find(u"X"), nullptr);  // keys are case-sensitive
  EXPECT_EQ(table.Find(u"missing"), nullptr);

  EXPECT_EQ(table.Remove(u"missing"), 0);
  whash empty(5);
  EXPECT_EQ(empty.Remove(u"a"), 0);
  EXPECT_EQ(empty.count, 0);
  EXPECT_EQ(table.count, 3);

  EXPECT_EQ(table.Remove(u"x"), 1);  // the newer one goes first
  EXPECT_EQ(table.Find(u"x")->AsInt(), 1);
  EXPECT_EQ(table.Remove(u"x"), 1);
  EXPECT_EQ(table.Find(u"x"), nullptr);
  EXPECT_EQ(table.Find(u"y")->AsInt(), 2);
  EXPECT_EQ(table.count, 1);
}

TEST(WhashEntries, RemoveFromTheMiddleOfAChain) {
  whash table(1);
  for (const char16_t* key : {u"a", u"b", u"c"}) table.Add(key, wvar(key), ckVar);
  table.Find(u"b")->Element(u"1", 1)->SetValue(wvar(u"nested"));
  EXPECT_EQ(table.Remove(u"b"), 1);
  EXPECT_EQ(Walk(table), (std::vector<std::string>{"c", "a"}));
}

TEST(WhashEntries, ClearKeepsTheBuckets) {
  whash table(1);
  for (int n = 0; n < 10; ++n) table.Add(Key("v", n).c_str(), wvar(n), ckVar);
  table.Find(u"v3")->Element(u"a", 1);
  int32_t size = table.size;
  table.Clear();
  EXPECT_EQ(table.size, size);
  EXPECT_EQ(table.count, 0);
  EXPECT_TRUE(Walk(table).empty());
  table.Add(u"again", wvar(1), ckVar);
  EXPECT_EQ(table.Find(u"again")->AsInt(), 1);
}

TEST(WhashClone, DeepCopyInReverseChainOrder) {
  whash source(1);
  for (const char16_t* key : {u"a", u"b", u"c"}) source.Add(key, wvar(key), ckVar);
  wcell* b = source.Find(u"b");
  b->pos = 17;
  b->ref = b;
  b->Element(u"1", 1)->Element(u"deep", 1)->SetValue(wvar(u"original"));

  whash* copy = whash::Clone(&source);
  EXPECT_EQ(copy->size, source.size);
  EXPECT_EQ(copy->count, 3);
  EXPECT_EQ(Walk(source), (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(Walk(*copy), (std::vector<std::string>{"a", "b", "c"}));

  wcell* b2 = copy->Find(u"b");
  EXPECT_EQ(U8(b2->AsString()), "b");
  EXPECT_EQ(b2->pos, 17);
  EXPECT_EQ(b2->ref, b);
  ASSERT_NE(b2->elements, nullptr);
  EXPECT_NE(b2->elements, b->elements);
  wcell* level1 = b2->elements->Find(u"1");
  ASSERT_NE(level1, nullptr);
  EXPECT_NE(level1->elements, b->elements->Find(u"1")->elements);
  wcell* deep = level1->elements->Find(u"deep");
  ASSERT_NE(deep, nullptr);
  deep->SetValue(wvar(u"changed"));
  EXPECT_EQ(U8(b->Element(u"1", 1)->Element(u"deep", 1)->AsString()), "original");

  delete copy;
  EXPECT_EQ(U8(b->Element(u"1", 1)->Element(u"deep", 1)->AsString()), "original");
}

TEST(WhashCopyCell, KeepsTheNameAndCopiesTheRest) {
  whash table(5);
  wcell* target = table.Add(u"target", wvar(1), ckVar);
  target->Element(u"old", 1);
  wcell* source = table.Add(u"source", wvar(u"value"), ckSub);
  source->pos = 9;
  source->Element(u"k", 1)->SetValue(wvar(5));
  whash::CopyCell(target, source);
  EXPECT_EQ(U8(target->name.Chars()), "target");
  EXPECT_EQ(target->kind, ckSub);
  EXPECT_EQ(U8(target->AsString()), "value");
  EXPECT_EQ(target->pos, 9);
  ASSERT_NE(target->elements, nullptr);
  EXPECT_NE(target->elements, source->elements);
  EXPECT_EQ(target->elements->Find(u"old"), nullptr);
  EXPECT_EQ(target->elements->Find(u"k")->AsInt(), 5);
}

TEST(WhashCopyCell, FromOneOfTheTargetsOwnElements) {
  // a = a[1], where a[1] is an array itself: the element lives in the very
  // table that the copy replaces.
  for (int viaAssign = 0; viaAssign < 2; ++viaAssign) {
    wcell a;
    wcell* element = a.Element(u"1", 1);
    element->SetValue(wvar(u"inner value"));
    element->Element(u"x", 1)->SetValue(wvar(42));
    if (viaAssign)
      a.Assign(*element);
    else
      whash::CopyCell(&a, element);
    EXPECT_EQ(U8(a.AsString()), "inner value");
    ASSERT_NE(a.elements, nullptr);
    EXPECT_EQ(a.elements->Find(u"x")->AsInt(), 42);
    EXPECT_EQ(a.elements->Find(u"1"), nullptr);
    a.ClearElements();
  }
}

TEST(WcellElements, TableSizeFollowsTheFirstIndex) {
  wcell array;
  wcell* e = array.Element(u"100", 100);
  EXPECT_EQ(array.elements->size, 100);
  EXPECT_EQ(e->kind, ckVar);
  EXPECT_EQ(e->value.type, vtString);
  EXPECT_EQ(e->value.Length(), 0);
  EXPECT_EQ(array.Element(u"100", 100), e);
  array.Element(u"200", 200);
  EXPECT_EQ(array.elements->size, 225);
  EXPECT_EQ(array.Element(u"100", 0), e);  // found again after the rehash
  wcell small;
  small.Element(u"a", 0);
  EXPECT_EQ(small.elements->size, 1);
  array.ClearElements();
  small.ClearElements();
  EXPECT_EQ(array.elements, nullptr);
}

TEST(WcellElements, AHugeIndexDoesNotClaimAHugeTable) {
  wcell array;
  wcell* e = array.Element(u"200000000", 200000000);
  EXPECT_EQ(array.elements->size, 65536);
  EXPECT_EQ(array.Element(u"200000000", 200000000), e);
  EXPECT_EQ(array.elements->count, 1);
  array.ClearElements();
}

TEST(WcellElements, StructuresOfAnyDepthAreCopiedAndFreed) {
  // Deeper than any machine stack would allow a recursion to go.
  constexpr int kDepth = 1000000;
  wcell root;
  wcell* c = &root;
  for (int i = 0; i < kDepth; ++i) c = c->Element(u"1", 0);
  c->SetValue(wvar(42));
  wcell copy;
  copy.Assign(root);
  root.ClearElements();
  const wcell* d = &copy;
  int depth = 0;
  while (d->elements != nullptr) {
    d = d->elements->Find(u"1");
    ++depth;
  }
  EXPECT_EQ(depth, kDepth);
  EXPECT_EQ(d->AsInt(), 42);
  copy.ClearElements();
}

TEST(WcellElements, AssignCopiesEverythingDeeply) {
  wcell source;
  source.kind = ckVar;
  source.name = u"src";
  source.value = 2.5;
  source.pos = 3;
  source.Element(u"k", 1)->SetValue(wvar(u"v"));
  wcell target;
  target.Element(u"gone", 1);
  target.Assign(source);
  EXPECT_EQ(U8(target.name.Chars()), "src");
  EXPECT_EQ(target.AsReal(), 2.5);
  EXPECT_EQ(target.pos, 3);
  EXPECT_NE(target.elements, source.elements);
  EXPECT_EQ(U8(target.elements->Find(u"k")->AsString()), "v");
  EXPECT_EQ(target.elements->Find(u"gone"), nullptr);
  wcell plain;
  target.Assign(plain);
  EXPECT_EQ(target.elements, nullptr);
  source.ClearElements();
}

TEST_F(TableAllocationFailures, FailedAllocationsRaiseAndLeaveTablesUsable) {
  platform::FailGlobalAllocAfter(0);
  EXPECT_THROW(delete new wcell, EOutOfMemory);
  EXPECT_THROW(delete new whash(4), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);

  whash table(1);
  for (int n = 0; n < 7; ++n) table.Add(Key("e", n).c_str(), wvar(n), ckVar);
  // The 8th add needs a new bucket array first; a failure there adds nothing.
  platform::FailGlobalAllocAfter(0);
  EXPECT_THROW(table.Add(u"e7", wvar(7), ckVar), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);
  EXPECT_EQ(table.count, 7);
  EXPECT_EQ(table.size, 1);
  EXPECT_EQ(table.Find(u"e7"), nullptr);
  // A failure while the cell's name is stored frees the half-made cell.
  platform::FailGlobalAllocAfter(2);
  EXPECT_THROW(table.Add(u"a long key name", wvar(7), ckVar), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);
  EXPECT_EQ(table.Find(u"a long key name"), nullptr);
  table.Add(u"e7", wvar(7), ckVar);
  EXPECT_EQ(table.size, 7);
  EXPECT_EQ(table.Find(u"e3")->AsInt(), 3);

  // A bucket array no process may have.
  EXPECT_THROW(delete new whash(2000000000), EOutOfMemory);

  wcell deep;
  deep.Element(u"1", 1)->Element(u"2", 1);
  whash* clone = nullptr;
  platform::FailGlobalAllocAfter(3);
  EXPECT_THROW(clone = whash::Clone(deep.elements), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);
  EXPECT_EQ(clone, nullptr);
  deep.ClearElements();
}

}  // namespace
