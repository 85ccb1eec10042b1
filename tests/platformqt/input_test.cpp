// Key and mouse-button state from Qt, the beep, and recorded input where the
// display is not X11.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include "platform/input.h"

namespace {

bool Down(int vk) { return GetAsyncKeyState(vk) < 0 && (GetKeyState(vk) & 0x80) != 0; }

TEST(QtKeyState, MouseButtonsAreDownWhileQtSeesThemPressed) {
  QWidget widget;
  widget.resize(100, 100);
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  struct Case {
    Qt::MouseButton button;
    int vk;
  };
  for (const Case c : {Case{Qt::LeftButton, VK_LBUTTON}, Case{Qt::RightButton, VK_RBUTTON},
                       Case{Qt::MiddleButton, VK_MBUTTON}}) {
    EXPECT_FALSE(Down(c.vk)) << c.vk;
    QTest::mousePress(widget.windowHandle(), c.button, {}, QPoint(10, 10));
    EXPECT_TRUE(Down(c.vk)) << c.vk;
    for (int other : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) {
      if (other != c.vk) {
        EXPECT_FALSE(Down(other)) << other << " while " << c.vk;
      }
    }
    QTest::mouseRelease(widget.windowHandle(), c.button, {}, QPoint(10, 10));
    EXPECT_FALSE(Down(c.vk)) << c.vk;
  }
}

TEST(QtKeyState, ModifiersAreDownWhileHeld) {
  QWidget widget;
  widget.resize(100, 100);
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifier modifier;
    int vk;
  };
  for (const Case c : {Case{Qt::Key_Shift, Qt::ShiftModifier, VK_SHIFT},
                       Case{Qt::Key_Control, Qt::ControlModifier, VK_CONTROL},
                       Case{Qt::Key_Alt, Qt::AltModifier, VK_MENU}}) {
    EXPECT_FALSE(Down(c.vk)) << c.vk;
    QTest::keyPress(widget.windowHandle(), c.key, c.modifier);
    EXPECT_TRUE(Down(c.vk)) << c.vk;
    QTest::keyRelease(widget.windowHandle(), c.key);
    EXPECT_FALSE(Down(c.vk)) << c.vk;
  }
}

TEST(QtInput, WithoutX11EventsAreRecordedAndTheScreenIsQts) {
  ASSERT_NE(QGuiApplication::platformName(), "xcb");
  platform::ClearRecordedInput();
  keybd_event(0x41, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  ASSERT_EQ(platform::RecordedInput().size(), 2u);
  EXPECT_EQ(platform::RecordedInput()[0].vk, 0x41);
  EXPECT_EQ(platform::RecordedInput()[1].flags, MOUSEEVENTF_LEFTDOWN);
  // The offscreen screen is 800 x 800, not the headless layer's 1920 x 1080.
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 800);
}

}  // namespace
