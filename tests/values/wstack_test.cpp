#include <gtest/gtest.h>

#include <string>

#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/text.h"
#include "values/whash.h"
#include "values/wstack.h"

namespace {

std::string U8(const char16_t* s) { return platform::ToUtf8(s); }

TEST(Wstack, GrowsByTenSlotsKeepingItsCells) {
  wstack stack(100);
  wcell* first = nullptr;
  for (int n = 0; n < 100; ++n) {
    wcell* c = stack.Push(ckVar, u"p", nullptr, wvar(n));
    if (n == 0) first = c;
  }
  EXPECT_EQ(stack.capacity, 100);
  stack.Push(ckVar, u"p", nullptr, wvar(100));
  EXPECT_EQ(stack.capacity, 110);
  for (int n = 101; n < 110; ++n) stack.Push(ckVar, u"p", nullptr, wvar(n));
  EXPECT_EQ(stack.capacity, 110);
  stack.Push(ckVar, u"p", nullptr, wvar(110));
  EXPECT_EQ(stack.capacity, 120);
  EXPECT_EQ(stack.depth, 111);
  EXPECT_EQ(stack.Cell(0), first);
  EXPECT_EQ(stack.At(57).AsInt(), 57);
  EXPECT_EQ(stack.At(110).AsInt(), 110);
  // Cut back and pushed again: the same cells, no growth.
  stack.depth = 0;
  EXPECT_EQ(stack.Push(ckVar, u"q", nullptr, wvar(u"again")), first);
  EXPECT_EQ(U8(stack.At(0).AsString()), "again");
  EXPECT_EQ(stack.capacity, 120);
}

TEST(Wstack, AccessOutsideTheStackRaises) {
  wstack stack(2);
  EXPECT_THROW(stack.At(0), EOutOfMemory);
  stack.Push(ckVar, u"a", nullptr, wvar(1));
  stack.Push(ckVar, u"b", nullptr, wvar(2));
  stack.Push(ckVar, u"c", nullptr, wvar(3));
  EXPECT_EQ(stack.At(2).AsInt(), 3);
  EXPECT_THROW(stack.At(stack.depth), EOutOfMemory);
  EXPECT_THROW(stack.At(-1), EOutOfMemory);
  EXPECT_THROW(stack.Cell(3), EOutOfMemory);
  stack.depth = 1;  // popped slots are outside too, though their cells remain
  EXPECT_THROW(stack.At(1), EOutOfMemory);
  EXPECT_EQ(stack.SetName(-1, u"x"), 0);
  EXPECT_EQ(stack.SetName(1, u"x"), 0);
  EXPECT_EQ(stack.SetName(0, u"renamed"), 1);
  EXPECT_EQ(U8(stack.Cell(0)->name.Chars()), "renamed");
}

TEST(Wstack, FindNameSearchesUpwardFromTheBase) {
  wstack stack(10);
  stack.Push(ckVar, u"x", nullptr, wvar(1));
  stack.Push(ckMarker, u"", nullptr, wvar(0));
  stack.Push(ckVar, u"x", nullptr, wvar(2));
  stack.Push(ckVar, u"x", nullptr, wvar(3));
  EXPECT_EQ(stack.FindName(0, u"x")->AsInt(), 1);
  EXPECT_EQ(stack.FindName(1, u"x")->AsInt(), 2);
  EXPECT_EQ(stack.FindName(0, u"X"), nullptr);
  stack.depth = 2;
  EXPECT_EQ(stack.FindName(1, u"x"), nullptr);  // popped slots are not searched
}

TEST(Wstack, AReusedSlotStartsBareUnlessTheArgumentNamesItsOwnCell) {
  wstack stack(4);
  wcell* local = stack.Push(ckVar, u"arr", nullptr, wvar(0));
  local->pos = 12;
  local->Element(u"1", 1)->SetValue(wvar(u"kept"));
  whash* elements = local->elements;
  stack.depth = 0;

  // A returned local array handed straight on: its elements travel along.
  wcell* argument = stack.Push(ckVar, u"p", local, local->value);
  ASSERT_EQ(argument, local);
  EXPECT_EQ(argument->elements, elements);
  EXPECT_EQ(argument->pos, 12);
  EXPECT_EQ(U8(argument->Element(u"1", 1)->AsString()), "kept");
  stack.depth = 0;

  // Anything else, a plain value or a reference to another cell, starts bare.
  wcell elsewhere;
  for (wcell* ref : {static_cast<wcell*>(nullptr), &elsewhere}) {
    wcell* c = stack.Push(ckVar, u"p", nullptr, wvar(0));
    c->pos = 5;
    c->Element(u"stale", 1);
    stack.depth = 0;
    c = stack.Push(ckVar, u"q", ref, wvar(u"fresh"));
    EXPECT_EQ(c->elements, nullptr);
    EXPECT_EQ(c->pos, 0);
    EXPECT_EQ(c->ref, ref);
    EXPECT_EQ(U8(c->AsString()), "fresh");
    stack.depth = 0;
  }
}

TEST(Wstack, AValueTakenFromTheReusedCellsOwnElementsSurvives) {
  wstack stack(4);
  wcell* local = stack.Push(ckVar, u"arr", nullptr, wvar(0));
  local->Element(u"1", 1)->SetValue(wvar(u"an element's text"));
  stack.depth = 0;
  const wvar& element = local->elements->Find(u"1")->value;
  wcell* c = stack.Push(ckVar, u"p", nullptr, element);
  EXPECT_EQ(U8(c->AsString()), "an element's text");
  EXPECT_EQ(c->elements, nullptr);
}

TEST(Wstack, AnArgumentNamingAnElementOfTheReusedCellStaysValid) {
  wstack stack(4);
  wcell* local = stack.Push(ckVar, u"arr", nullptr, wvar(0));
  wcell* element = local->Element(u"1", 1)->Element(u"2", 1);
  element->SetValue(wvar(u"deep element"));
  stack.depth = 0;
  wcell* c = stack.Push(ckVar, u"p", element, element->value);
  EXPECT_EQ(c->ref, element);
  EXPECT_EQ(U8(c->ref->AsString()), "deep element");
  EXPECT_EQ(c->pos, 0);
}

TEST(Wstack, ClearFreesEverySlot) {
  wstack stack(3);
  stack.Push(ckVar, u"a", nullptr, wvar(u"some text here"))->Element(u"k", 1);
  stack.Push(ckVar, u"b", nullptr, wvar(1));
  stack.depth = 1;
  stack.Clear();
  EXPECT_EQ(stack.depth, 0);
  for (int i = 0; i < stack.capacity; ++i) EXPECT_EQ(stack.slots[i], nullptr);
  EXPECT_EQ(stack.Push(ckVar, u"c", nullptr, wvar(2))->elements, nullptr);
}

class StackAllocationFailures : public ::testing::Test {
protected:
  void TearDown() override { platform::FailGlobalAllocAfter(-1); }
};

TEST_F(StackAllocationFailures, AFailedGrowthLeavesTheStackAsItWas) {
  wstack stack(1);
  stack.Push(ckVar, u"a", nullptr, wvar(1));
  platform::FailGlobalAllocAfter(0);
  EXPECT_THROW(stack.Push(ckVar, u"b", nullptr, wvar(2)), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);
  EXPECT_EQ(stack.depth, 1);
  EXPECT_EQ(stack.capacity, 1);
  EXPECT_EQ(stack.Push(ckVar, u"b", nullptr, wvar(2))->AsInt(), 2);
  EXPECT_EQ(stack.capacity, 11);
}

}  // namespace
