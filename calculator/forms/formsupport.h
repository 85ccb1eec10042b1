// formsupport: what the dialogs' form resources need beyond Qt Designer's
// own properties: fonts given in pixels, edges that controls keep their
// distance to, colours as 0x00BBGGRR, and the one exception box.
#pragma once

#include <QColor>
#include <QString>

#include <exception>
#include <functional>

#include "calculator/colors.h"

class QWidget;

// Fonts: a widget whose resource carries the dynamic property "resFont" with
// "family,height" gets that family at -height pixels (a negative height is a
// pixel size, as the resources write it). Children without one inherit.
void ApplyResourceFonts(QWidget* form);

// Anchors: a widget whose resource carries "anchors" (a comma list of left,
// top, right, bottom; left,top when absent) keeps its distances to those
// edges of its parent as the parent is resized. Call once after setupUi,
// while the widgets still have their resource geometry.
void ApplyAnchors(QWidget* form);

QColor ToQColor(TColor color);  // system colours through their RGB value
TColor FromQRgb(unsigned rgb);  // a QImage pixel as 0x00BBGGRR

// The program's exception box (ShowException) for `e`, which is being
// handled: call inside its catch block. A hook, when set, receives the
// message instead (tests).
void ShowExceptionBox(const std::exception& e);
void SetExceptionBoxHook(std::function<void(const QString&)> hook);

// Runs a handler and shows whatever exception leaves it in the exception
// box, so that no exception crosses Qt's event dispatch.
template <class F>
void Guard(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    ShowExceptionBox(e);
  }
}
