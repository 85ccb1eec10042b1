// Shared pieces of the dialog tests: pixels as the user sees them, answers
// given while a dialog runs modally, and the exception box caught.
#pragma once

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ostream>
#include <functional>
#include <string>

#include "calculator/forms/application.h"
#include "calculator/forms/formsupport.h"
#include "tests/testscope.h"

// Readable failures for Qt's texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '{';
  for (const QString& s : l) *os << " \"" << s.toStdString() << '"';
  *os << " }";
}
QT_END_NAMESPACE

// 0x00BBGGRR as text, for readable failures.
inline std::string Hex(unsigned c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%06X", c & 0xFFFFFF);
  return buf;
}

// What a widget shows, as pixels.
inline QImage Shot(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The screen pixel (px, py) as 0x00BBGGRR.
inline unsigned DevicePixelAt(const QImage& img, int px, int py) {
  return static_cast<unsigned>(FromQRgb(img.pixel(px, py) & 0xFFFFFF));
}

// The pixel at (x, y) in the widget's own units as 0x00BBGGRR: on a scaled
// screen the screen pixel at the middle of that unit.
inline unsigned PixelAt(const QImage& img, int x, int y) {
  const qreal ratio = img.devicePixelRatio();
  return DevicePixelAt(img, static_cast<int>((x + 0.5) * ratio), static_cast<int>((y + 0.5) * ratio));
}

// Runs `step` once a modal dialog other than the one now active has opened.
// A script pumps events before every statement, so a plain zero timer could
// fire before the statement that opens the dialog and leave it waiting.
// Returns the poll, for a test whose dialog may never open to cancel it:
// left running, it would run the step in a later test.
inline QPointer<QTimer> WhenShown(std::function<void()> step) {
  QPointer<QWidget> before = QApplication::activeModalWidget();
  // Ends with the test, so a dialog that never opens leaves no poll behind.
  auto* poll = new QTimer(TestScope());
  poll->setInterval(1);
  QObject::connect(poll, &QTimer::timeout, [poll, before, step = std::move(step)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == before) return;
    poll->stop();
    poll->deleteLater();
    step();
  });
  poll->start();
  return poll;
}

// Every exception box shown while it lives, by message.
class ExceptionBoxes {
 public:
  ExceptionBoxes() { SetExceptionBoxHook([this](const QString& m) { messages << m; }); }
  ~ExceptionBoxes() { SetExceptionBoxHook(nullptr); }
  QStringList messages;
};
