#include "platform/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Recorder {
  std::vector<UINT> messages;
  WPARAM lastWParam = 0;
  LPARAM lastLParam = 0;
  HWND self = 0;
  HWND forwardTo = 0;  // when set, the handler sends the message on
  std::vector<std::u16string> titles;
};

LRESULT RecordingProc(void* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* r = static_cast<Recorder*>(context);
  EXPECT_EQ(window, r->self);
  r->messages.push_back(message);
  r->lastWParam = wParam;
  r->lastLParam = lParam;
  if (r->forwardTo != 0) return 1000 + SendMessageA(r->forwardTo, message + 1, wParam, lParam);
  return static_cast<LRESULT>(message) * 2;
}

void RecordTitle(void* context, const char16_t* title) {
  static_cast<Recorder*>(context)->titles.emplace_back(title);
}

TEST(Window, SendMessageCallsTheHandlerAndReturnsItsResult) {
  Recorder r;
  r.self = platform::RegisterWindow(RecordingProc, &r);
  ASSERT_NE(r.self, 0u);
  COPYDATASTRUCT data{1, 0, nullptr};
  EXPECT_EQ(SendMessageA(r.self, WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&data)),
            2 * WM_COPYDATA);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.lastWParam, 7u);
  EXPECT_EQ(reinterpret_cast<COPYDATASTRUCT*>(r.lastLParam)->dwData, 1u);
  platform::UnregisterWindow(r.self);
}

TEST(Window, UnknownAndUnregisteredWindowsAnswerZero) {
  Recorder r;
  r.self = platform::RegisterWindow(RecordingProc, &r);
  platform::UnregisterWindow(r.self);
  EXPECT_EQ(SendMessageA(r.self, WM_COPYDATA, 0, 0), 0);
  EXPECT_EQ(SendMessageA(0, WM_COPYDATA, 0, 0), 0);
  EXPECT_TRUE(r.messages.empty());
  char16_t buffer[8] = u"xyz";
  EXPECT_EQ(GetWindowTextW(r.self, buffer, 8), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(SetWindowTextW(r.self, u"t"), FALSE);
}

TEST(Window, HandlesAreDistinctAndAHandlerMaySendToAnotherWindow) {
  Recorder outer, inner;
  outer.self = platform::RegisterWindow(RecordingProc, &outer);
  inner.self = platform::RegisterWindow(RecordingProc, &inner);
  EXPECT_NE(outer.self, inner.self);
  outer.forwardTo = inner.self;
  EXPECT_EQ(SendMessageA(outer.self, 10, 0, 0), 1000 + 22);
  EXPECT_EQ(inner.messages, std::vector<UINT>{11});
  platform::UnregisterWindow(outer.self);
  platform::UnregisterWindow(inner.self);
}

TEST(Window, TitleIsKeptCutToTheBufferAndReported) {
  Recorder r;
  r.self = platform::RegisterWindow(RecordingProc, &r, RecordTitle);
  char16_t buffer[16];
  EXPECT_EQ(GetWindowTextW(r.self, buffer, 16), 0);
  EXPECT_EQ(std::u16string(buffer), u"");

  ASSERT_EQ(SetWindowTextW(r.self, u"電卓 - STOP"), TRUE);
  EXPECT_EQ(GetWindowTextW(r.self, buffer, 16), 9);
  EXPECT_EQ(std::u16string(buffer), u"電卓 - STOP");
  // max - 1 units and a terminator.
  EXPECT_EQ(GetWindowTextW(r.self, buffer, 3), 2);
  EXPECT_EQ(std::u16string(buffer), u"電卓");
  EXPECT_EQ(GetWindowTextW(r.self, buffer, 0), 0);

  EXPECT_EQ(SetWindowTextW(r.self, nullptr), TRUE);
  EXPECT_EQ(GetWindowTextW(r.self, buffer, 16), 0);
  EXPECT_EQ(r.titles, (std::vector<std::u16string>{u"電卓 - STOP", u""}));
  platform::UnregisterWindow(r.self);
}

}  // namespace
