// The control on a scaled screen (CTest runs these with QT_SCALE_FACTOR=2;
// at scale 1 they skip): the caption is drawn at the screen's resolution,
// not drawn at one pixel per unit and then enlarged.
#include <QFont>
#include <QtMath>

#include <gtest/gtest.h>

#include <set>

#include "support.h"

namespace {

TEST(ButtonScaled, CaptionEdgesAreAsFineAsTheScreensPixels) {
  const Colours c;
  TWButton b(nullptr);
  Apply(b, c);
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(13);
  b.setFont(f);
  b.resize(60, 22);
  b.SetCaption(QStringLiteral("W8"));
  const qreal ratio = b.devicePixelRatioF();
  if (ratio < 2) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2; the scaled CTest run gives it";
  const QImage img = Shot(b);
  ASSERT_EQ(img.width(), qCeil(60 * ratio));
  // Only the look's own colours: nothing blurred by enlarging.
  const std::set<QRgb> own{Rgb(c.face), Rgb(c.highlight), Rgb(c.shadowInner),
                           Rgb(c.shadowOuter), Rgb(c.font)};
  int text = 0, split = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      ASSERT_TRUE(own.count(At(img, x, y))) << x << "," << y;
      if (At(img, x, y) == Rgb(c.font)) ++text;
    }
  // Enlarged, every 2 x 2 block of screen pixels would be one unit's
  // colour; drawn at the screen's resolution, stroke edges split blocks.
  for (int y = 0; y + 1 < img.height(); y += 2)
    for (int x = 0; x + 1 < img.width(); x += 2) {
      const QRgb p = At(img, x, y);
      if (At(img, x + 1, y) != p || At(img, x, y + 1) != p || At(img, x + 1, y + 1) != p) ++split;
    }
  EXPECT_GT(text, 0);
  EXPECT_GT(split, 0);
}

}  // namespace
