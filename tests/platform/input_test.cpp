#include "platform/input.h"

#include <gtest/gtest.h>

#include "platform/sound.h"

namespace {

TEST(Input, HeadlessRecordsEventsOnAFullHdScreen) {
  platform::ClearRecordedInput();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  keybd_event(65, 0, KEYEVENTF_KEYUP, 7);
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 32768, 0xFFFFFFFF, 0, 0);
  const auto& events = platform::RecordedInput();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_FALSE(events[0].mouse);
  EXPECT_EQ(events[0].vk, 65);
  EXPECT_EQ(events[0].flags, KEYEVENTF_KEYUP);
  EXPECT_EQ(events[0].extra, 7u);
  EXPECT_TRUE(events[1].mouse);
  EXPECT_EQ(events[1].flags, 0x8001u);
  EXPECT_EQ(events[1].dx, 32768u);
  EXPECT_EQ(events[1].dy, 0xFFFFFFFFu);
}

TEST(Input, InstalledBackendTakesOver) {
  struct Small : platform::InputBackend {
    int keys = 0;
    void Key(BYTE, BYTE, DWORD, uintptr_t) override { ++keys; }
    int Metric(int) override { return 640; }
  } small;
  platform::ClearRecordedInput();
  platform::SetInputBackend(&small);
  keybd_event(13, 0, 0, 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  platform::SetInputBackend(nullptr);
  EXPECT_EQ(small.keys, 1);
  EXPECT_TRUE(platform::RecordedInput().empty());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
}

TEST(Input, KeyStateIsUpHeadlessAndTakenFromAnInstalledBackend) {
  for (int vk : {VK_SHIFT, VK_LBUTTON, VK_CONTROL, int{'A'}}) {
    EXPECT_EQ(GetKeyState(vk), 0) << vk;
    EXPECT_EQ(GetAsyncKeyState(vk), 0) << vk;
  }
  struct ShiftHeld : platform::InputBackend {
    bool IsKeyDown(int vk) override { return vk == VK_SHIFT; }
  } shiftHeld;
  platform::SetInputBackend(&shiftHeld);
  const int16_t shift = GetKeyState(VK_SHIFT);
  const int16_t asyncShift = GetAsyncKeyState(VK_SHIFT);
  const int16_t control = GetKeyState(VK_CONTROL);
  platform::SetInputBackend(nullptr);
  // Callers test either the sign or bit 0x80.
  EXPECT_LT(shift, 0);
  EXPECT_NE(shift & 0x80, 0);
  EXPECT_LT(asyncShift, 0);
  EXPECT_NE(asyncShift & 0x80, 0);
  EXPECT_EQ(control, 0);
}

TEST(Sound, BeepGoesToTheBackend) {
  struct Recording : platform::SoundBackend {
    int count = 0;
    DWORD frequency = 0, length = 0;
    void Beep(DWORD f, DWORD ms) override { ++count, frequency = f, length = ms; }
  } recording;
  platform::SetSoundBackend(&recording);
  Beep(2400, 100);
  platform::SetSoundBackend(nullptr);
  Beep(440, 1);  // silent headless: the removed back end hears nothing
  EXPECT_EQ(recording.count, 1);
  EXPECT_EQ(recording.frequency, 2400u);
  EXPECT_EQ(recording.length, 100u);
}

}  // namespace
