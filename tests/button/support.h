// Shared pieces of the button tests: the look of a control as pixels, and
// mouse input sent the way the window system delivers it.
#pragma once

#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QRect>

#include <functional>

#include "button/wbutton.h"

// 0x00BBGGRR as a pixel value.
inline QRgb Rgb(TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF) & 0xFFFFFF; }

// What the control shows on the screen.
inline QImage Shot(TWButton& b) {
  return b.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

// The smallest rectangle holding every pixel of `colour` inside `area`.
inline QRect BoundsOf(const QImage& img, QRgb colour, QRect area) {
  QRect r;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (At(img, x, y) == (colour & 0xFFFFFF)) r |= QRect(x, y, 1, 1);
  return r;
}

// Every colour distinct, so that each pixel tells which one painted it.
struct Colours {
  TColor face = 0x604020;
  TColor highlight = 0xE0F0F0;
  TColor shadowInner = 0x007070;
  TColor shadowOuter = 0x700000;
  TColor grayText = 0x606060;
  TColor back = 0x00A000;
  TColor enterText = 0xA000A0;
  TColor enterFace = 0xD0D090;
  TColor enterFrame = 0xFFD000;
  TColor font = 0x0C0B0A;
};

inline void Apply(TWButton& b, const Colours& c = Colours()) {
  b.SetFaceColor(c.face);
  b.SetHighlightColor(c.highlight);
  b.SetShadowInnerColor(c.shadowInner);
  b.SetShadowOuterColor(c.shadowOuter);
  b.SetGrayTextColor(c.grayText);
  b.SetBackColor(c.back);
  b.SetEnterTextColor(c.enterText);
  b.SetEnterFaceColor(c.enterFace);
  b.SetEnterFrameColor(c.enterFrame);
  b.SetFontColor(c.font);
}

// Mouse input to one control, keeping track of the buttons held.
class Mouse {
 public:
  explicit Mouse(TWButton& b) : b_(b) {}

  void Press(Qt::MouseButton button, QPoint at = {10, 10}, Qt::KeyboardModifiers mods = {}) {
    held_ |= button;
    Send(QEvent::MouseButtonPress, button, at, mods);
  }
  void DoubleClick(Qt::MouseButton button, QPoint at = {10, 10}) {
    held_ |= button;
    Send(QEvent::MouseButtonDblClick, button, at, {});
  }
  void Release(Qt::MouseButton button, QPoint at = {10, 10}, Qt::KeyboardModifiers mods = {}) {
    held_ &= ~button;
    Send(QEvent::MouseButtonRelease, button, at, mods);
  }
  void Enter() {
    QEnterEvent e(QPointF(10, 10), QPointF(10, 10), b_.mapToGlobal(QPointF(10, 10)));
    QCoreApplication::sendEvent(&b_, &e);
  }
  void Leave() {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(&b_, &e);
  }

 private:
  void Send(QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers mods) {
    QMouseEvent e(type, QPointF(at), b_.mapToGlobal(QPointF(at)), button, held_, mods);
    QCoreApplication::sendEvent(&b_, &e);
  }

  TWButton& b_;
  Qt::MouseButtons held_;
};
