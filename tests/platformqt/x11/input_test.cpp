// keybd_event and mouse_event become real X events that reach windows;
// the key state and the screen come from the server.
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

#include "platform/input.h"
#include "session.h"

namespace {

void Press(BYTE vk) {
  keybd_event(vk, 0, 0, 0);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

// A window that keeps the keys and mouse buttons it is given.
class Recorder : public QWidget {
public:
  Recorder() {
    resize(200, 200);
    move(100, 100);
    setFocusPolicy(Qt::StrongFocus);
  }
  std::vector<int> keys;
  std::vector<Qt::MouseButton> buttons;

protected:
  void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
  void mousePressEvent(QMouseEvent* e) override { buttons.push_back(e->button()); }
};

struct ShownRecorder {
  Recorder window;
  ShownRecorder() {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    // The pointer over the window, so that nothing else can take the keys.
    QCursor::setPos(window.mapToGlobal(QPoint(100, 100)));
  }
};

TEST(X11Input, VirtualKeysArriveAsTheirKeys) {
  ShownRecorder shown;
  struct Case {
    BYTE vk;
    int key;
  };
  const Case cases[] = {
      {'A', Qt::Key_A},          {'Z', Qt::Key_Z},          {'0', Qt::Key_0},
      {'9', Qt::Key_9},          {0x0D, Qt::Key_Return},    {0x1B, Qt::Key_Escape},
      {0x08, Qt::Key_Backspace}, {0x20, Qt::Key_Space},     {0x13, Qt::Key_Pause},
      {0x2D, Qt::Key_Insert},    {0x2E, Qt::Key_Delete},    {0x24, Qt::Key_Home},
      {0x23, Qt::Key_End},       {0x21, Qt::Key_PageUp},    {0x22, Qt::Key_PageDown},
      {0x25, Qt::Key_Left},      {0x26, Qt::Key_Up},        {0x27, Qt::Key_Right},
      {0x28, Qt::Key_Down},      {0x70, Qt::Key_F1},        {0x7B, Qt::Key_F12},
      {0x6B, Qt::Key_Plus},      {0x6D, Qt::Key_Minus},     {0x6A, Qt::Key_Asterisk},
      {0x6F, Qt::Key_Slash},     {0xBA, Qt::Key_Semicolon}, {0xBB, Qt::Key_Equal},
      {0xBC, Qt::Key_Comma},     {0xBD, Qt::Key_Minus},     {0xBE, Qt::Key_Period},
      {0xBF, Qt::Key_Slash},     {0xDB, Qt::Key_BracketLeft}, {0xDE, Qt::Key_Apostrophe},
      {0xC0, Qt::Key_QuoteLeft}, {0xDC, Qt::Key_Backslash}, {0xDD, Qt::Key_BracketRight},
      // Keys that the server's keyboard may lack get a spare key code.
      {0x7C, Qt::Key_F13},       {0x87, Qt::Key_F24},       {0x5D, Qt::Key_Menu},
      {0xE2, Qt::Key_Less},      {0x7C, Qt::Key_F13},
  };
  for (const Case& c : cases) {
    shown.window.keys.clear();
    Press(c.vk);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.window.keys.empty(); }, 1500)) << int(c.vk);
    if (!shown.window.keys.empty()) {
      EXPECT_EQ(shown.window.keys.front(), c.key) << int(c.vk);
    }
  }
}

TEST(X11Input, ShiftedKeysTypeText) {
  QLineEdit edit;
  edit.show();
  edit.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
  QCursor::setPos(edit.mapToGlobal(QPoint(5, 5)));
  keybd_event(VK_SHIFT, 0, 0, 0);
  Press('H');
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  for (BYTE vk : {BYTE('I'), BYTE(0x20), BYTE('1'), BYTE(0xBB), BYTE('2'), BYTE('X'), BYTE(0x08)})
    Press(vk);
  EXPECT_TRUE(QTest::qWaitFor([&] { return edit.text() == "Hi 1=2"; }, 3000))
      << edit.text().toStdString();
}

TEST(X11Input, KeyStateFollowsTheServer) {
  ShownRecorder shown;
  for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU, int{'A'}, int{VK_PAUSE}}) {
    EXPECT_EQ(GetAsyncKeyState(vk), 0) << vk;
    keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return GetAsyncKeyState(vk) < 0; }, 3000)) << vk;
    EXPECT_NE(GetKeyState(vk) & 0x80, 0) << vk;
    keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return GetAsyncKeyState(vk) == 0; }, 3000)) << vk;
  }
}

TEST(X11Input, TheScreenIsTheServers) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
}

// What a script's MOUSEMOVE(x, y) sends.
void MoveLikeAScript(int x, int y) {
  const int32_t dx = x * 65537 / GetSystemMetrics(SM_CXSCREEN);
  const int32_t dy = y * 65537 / GetSystemMetrics(SM_CYSCREEN);
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<DWORD>(dx),
              static_cast<DWORD>(dy), 0, 0);
}

TEST(X11Input, AbsoluteMovesLandOnTheScriptsPixel) {
  const QPoint points[] = {{0, 0}, {1, 1}, {640, 512}, {1279, 1023}, {1000, 3}, {7, 1000}};
  for (const QPoint p : points) {
    MoveLikeAScript(p.x(), p.y());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QCursor::pos() == p; }, 3000))
        << p.x() << "," << p.y() << " at " << QCursor::pos().x() << "," << QCursor::pos().y();
  }
}

TEST(X11Input, RelativeMovesGoFromWhereThePointerIs) {
  MoveLikeAScript(600, 400);
  ASSERT_TRUE(QTest::qWaitFor([] { return QCursor::pos() == QPoint(600, 400); }, 3000));
  mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(-3), 2, 0, 0);
  EXPECT_TRUE(QTest::qWaitFor([] { return QCursor::pos() == QPoint(597, 402); }, 3000))
      << QCursor::pos().x() << "," << QCursor::pos().y();
}

TEST(X11Input, ButtonsPressWhereThePointerIs) {
  ShownRecorder shown;
  const QPoint centre = shown.window.mapToGlobal(QPoint(100, 100));
  MoveLikeAScript(centre.x(), centre.y());
  struct Case {
    DWORD down, up;
    int vk;
    Qt::MouseButton button;
  };
  const Case cases[] = {
      {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, VK_LBUTTON, Qt::LeftButton},
      {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, VK_RBUTTON, Qt::RightButton},
      {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, VK_MBUTTON, Qt::MiddleButton},
  };
  for (const Case& c : cases) {
    shown.window.buttons.clear();
    mouse_event(c.down, 0, 0, 0, 0);
    // The server knows at once, before Qt has seen the press.
    EXPECT_LT(GetAsyncKeyState(c.vk), 0) << c.vk;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.window.buttons.empty(); }, 3000)) << c.vk;
    mouse_event(c.up, 0, 0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return GetAsyncKeyState(c.vk) == 0; }, 3000)) << c.vk;
    ASSERT_EQ(shown.window.buttons.size(), 1u) << c.vk;
    EXPECT_EQ(shown.window.buttons.front(), c.button);
  }
}

TEST(X11Input, AClickInOneCallPressesAButton) {
  QPushButton button("OK");
  button.resize(80, 30);
  button.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
  const QPoint centre = button.mapToGlobal(QPoint(40, 15));
  MoveLikeAScript(centre.x(), centre.y());
  mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, 3000));
}

}  // namespace
