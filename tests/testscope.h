// What a Qt test leaves behind ends with it: timers and modal answerers
// parented to TestScope() are deleted when the test ends, so none fires into
// the next test with captures that point into a finished one; and a test that
// ended the program (QCoreApplication::exit outside an event loop) leaves Qt's
// quit flag set, which would make every later event loop return at once.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

namespace testscope {

inline QObject*& Slot() {
  static QObject* scope = nullptr;
  return scope;
}

// True once the running test has asked the application to quit: an event
// loop started now returns -1 at once instead of running.
inline bool QuitPending() {
  QEventLoop probe;
  QTimer::singleShot(0, &probe, [&probe] { probe.exit(0); });
  return probe.exec() == -1;
}

// The application's own exec() clears the quit flag on entry and on return.
inline void ClearQuit() {
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

class Listener : public testing::EmptyTestEventListener {
  void OnTestEnd(const testing::TestInfo&) override {
    delete Slot();
    Slot() = nullptr;
    if (QCoreApplication::instance() != nullptr && QuitPending()) ClearQuit();
  }
};

// Call once, from a static initializer of the test program.
inline bool Install() {
  testing::UnitTest::GetInstance()->listeners().Append(new Listener);
  return true;
}

}  // namespace testscope

// The parent for anything that must not outlive the running test.
inline QObject* TestScope() {
  QObject*& scope = testscope::Slot();
  if (scope == nullptr) scope = new QObject;
  return scope;
}
