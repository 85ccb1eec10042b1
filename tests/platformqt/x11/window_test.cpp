// A window's title as the window system shows it, and the beep.
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

#include "bell.h"
#include "platform/qt/qtbackends.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "session.h"

namespace {

TEST(X11Window, TitleSetThroughTheLayerIsTheWindowsTitle) {
  QWidget window;
  window.setWindowTitle("Zimro");
  window.resize(100, 100);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const HWND handle = platform::RegisterQtWindow(&window, nullptr, nullptr);
  const std::string id = std::to_string(window.winId());
  for (const char16_t* title : {u"Zimro - STOP", u"電卓 - STOP", u"Zimro"}) {
    ASSERT_TRUE(SetWindowTextW(handle, title));
    const std::string expected = QString::fromUtf16(title).toStdString();
    std::string shown;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          QApplication::sync();
          shown = Session().WindowName(id);
          return shown == expected;
        },
        3000))
        << shown;
  }
}

TEST(X11Sound, BeepRingsTheServersBell) {
  BellListener bell(Session().Display());
  ASSERT_TRUE(bell.Listening());
  EXPECT_FALSE(bell.Rang(100));
  Beep(2400, 100);
  QApplication::sync();
  EXPECT_TRUE(bell.Rang(3000));
}

}  // namespace
