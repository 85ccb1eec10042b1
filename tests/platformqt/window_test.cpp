// A Qt window in the registry: messages, title, message-box owner.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

#include "boxanswer.h"
#include "platform/dialogs.h"
#include "platform/qt/qtbackends.h"
#include "platform/window.h"

namespace {

std::u16string TitleOf(HWND window) {
  char16_t text[256];
  const int n = GetWindowTextW(window, text, 256);
  return std::u16string(text, static_cast<size_t>(n));
}

LRESULT Echo(void* context, HWND, UINT message, WPARAM wParam, LPARAM) {
  *static_cast<UINT*>(context) = message;
  return static_cast<LRESULT>(wParam) + 1;
}

TEST(QtWindow, TitleStaysInStepBothWays) {
  QWidget window;
  window.setWindowTitle("Zimro");
  UINT lastMessage = 0;
  const HWND handle = platform::RegisterQtWindow(&window, Echo, &lastMessage);
  EXPECT_EQ(TitleOf(handle), u"Zimro");

  // What a paused run does to the title.
  ASSERT_TRUE(SetWindowTextW(handle, (TitleOf(handle) + u" - STOP").c_str()));
  EXPECT_EQ(window.windowTitle(), "Zimro - STOP");
  ASSERT_TRUE(SetWindowTextW(handle, u"電卓"));
  EXPECT_EQ(window.windowTitle(), QString::fromUtf16(u"電卓"));

  window.setWindowTitle("calc");
  EXPECT_EQ(TitleOf(handle), u"calc");
  window.setWindowTitle("");
  EXPECT_EQ(TitleOf(handle), u"");

  EXPECT_EQ(SendMessageA(handle, WM_COPYDATA, 41, 0), 42);
  EXPECT_EQ(lastMessage, WM_COPYDATA);
}

TEST(QtWindow, HandleIsReleasedWithTheWidget) {
  auto* window = new QWidget;
  window->setWindowTitle("gone");
  UINT lastMessage = 0;
  const HWND handle = platform::RegisterQtWindow(window, Echo, &lastMessage);
  EXPECT_EQ(platform::WidgetOfWindow(handle), window);
  delete window;
  EXPECT_EQ(platform::WidgetOfWindow(handle), nullptr);
  EXPECT_EQ(SendMessageA(handle, WM_COPYDATA, 1, 0), 0);
  EXPECT_EQ(lastMessage, 0u);
  EXPECT_EQ(TitleOf(handle), u"");
  EXPECT_FALSE(SetWindowTextW(handle, u"x"));
}

TEST(QtWindow, MessageBoxesOfAWindowSitOnIt) {
  QWidget window;
  window.resize(300, 200);
  window.show();
  const HWND handle = platform::RegisterQtWindow(&window, nullptr, nullptr);
  Seen seen;
  EXPECT_EQ(Answered([&] { return MessageBoxA(handle, "x", "WB", MB_OK); }, Act::Escape, seen),
            IDOK);
  EXPECT_EQ(seen.parent, &window);
}

}  // namespace
