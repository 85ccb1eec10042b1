// formsupport: what the dialogs' form resources need beyond Qt Designer's
// own properties: fonts given in pixels, edges that controls keep their
// distance to, and colours as 0x00BBGGRR.
#pragma once

#include <QColor>
#include <QString>

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
