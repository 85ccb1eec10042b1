// Where the glyph and the caption go, and how much of the caption fits.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <string>

#include "support.h"

namespace {

constexpr TColor kFace = 0x604020;
constexpr TColor kText = 0x0000FF;
constexpr TColor kFigure = 0xFFFFFF;

QFont TestFont() {
  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(12);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

int Advance(const QString& text) { return QFontMetrics(TestFont()).horizontalAdvance(text); }

// A 12 x 11 glyph as the title buttons have: a white figure (a block at
// columns 3 to 8, rows 2 to 7) on a magenta background.
QImage TestGlyph() {
  QImage g(12, 11, QImage::Format_RGB32);
  g.fill(qRgb(255, 0, 255));
  for (int y = 2; y <= 7; ++y)
    for (int x = 3; x <= 8; ++x) g.setPixel(x, y, qRgb(255, 255, 255));
  return g;
}

void Prepare(TWButton& b, int width, const QString& caption, bool glyph = false) {
  b.resize(width, 22);
  b.setFont(TestFont());
  b.SetFaceColor(kFace);
  b.SetFontColor(kText);
  b.SetCaption(caption);
  if (glyph) b.SetGlyph(TestGlyph());
}

QRect Inside(const QImage& img) { return img.rect().adjusted(2, 2, -2, -2); }

// The glyph's top-left corner, found from its figure.
QPoint GlyphAt(const QImage& img) {
  const QRect figure = BoundsOf(img, Rgb(kFigure), Inside(img));
  return figure.isValid() ? figure.topLeft() - QPoint(3, 2) : QPoint(-1000, -1000);
}

bool SameInside(const QImage& a, const QImage& b, int width) {
  for (int y = 2; y < 20; ++y)
    for (int x = 2; x < width - 2; ++x)
      if (At(a, x, y) != At(b, x, y)) return false;
  return true;
}

TEST(ButtonGlyph, DrawnWithItsBottomLeftColourTransparent) {
  TWButton b(nullptr);
  Prepare(b, 100, QString(), true);
  const QImage img = Shot(b);
  const QPoint at = GlyphAt(img);
  ASSERT_EQ(at, QPoint(50 - 6, 11 - (5 + 1)));
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool figure = x >= 3 && x <= 8 && y >= 2 && y <= 7;
      EXPECT_EQ(At(img, at.x() + x, at.y() + y), Rgb(figure ? kFigure : kFace)) << x << "," << y;
    }
}

// The glyph's position tells the width of the block that is placed: the
// glyph alone, or glyph, gap and caption.
struct PlaceCase {
  std::string name;
  TAlignment alignment;
  QString caption;
  int margin, spacing;
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class PlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceTest, GlyphAndCaptionPlacedAsOneBlock) {
  const PlaceCase& c = GetParam();
  const int W = 120;
  TWButton b(nullptr);
  Prepare(b, W, c.caption, true);
  b.SetAlignment(c.alignment);
  b.SetMargin(c.margin);
  b.SetSpacing(c.spacing);
  const QImage img = Shot(b);
  const int content = c.caption.isEmpty() ? 12 : 12 + c.spacing + Advance(c.caption);
  const int x = c.alignment == taLeftJustify    ? c.margin + 2
                : c.alignment == taRightJustify ? W - content - c.margin - 2
                                                : W / 2 - content / 2;
  EXPECT_EQ(GlyphAt(img), QPoint(x, 11 - (5 + 1)));
  const QRect text = BoundsOf(img, Rgb(kText), Inside(img));
  EXPECT_EQ(text.isValid(), !c.caption.isEmpty());
  if (text.isValid()) {
    // The caption starts after the gap and stays within its own advance.
    EXPECT_GE(text.left(), x + 12 + c.spacing);
    EXPECT_LT(text.right(), x + content + 2);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, PlaceTest,
    ::testing::Values(PlaceCase{"EmptyCentre", taCenter, "", 4, 4},
                      PlaceCase{"EmptyLeft", taLeftJustify, "", 4, 4},
                      PlaceCase{"EmptyRight", taRightJustify, "", 4, 4},
                      PlaceCase{"EmptyWideSpacing", taCenter, "", 4, 30},
                      PlaceCase{"CaptionCentre", taCenter, "Mod", 4, 4},
                      PlaceCase{"CaptionLeft", taLeftJustify, "Mod", 7, 9},
                      PlaceCase{"CaptionRight", taRightJustify, "Mod", 7, 9}),
    [](const auto& c) { return c.param.name; });

TEST(ButtonCaption, SpacingCountsOnlyWithAGlyph) {
  TWButton narrow(nullptr), wide(nullptr);
  Prepare(narrow, 100, "Mod");
  Prepare(wide, 100, "Mod");
  wide.SetSpacing(30);
  const QImage a = Shot(narrow);
  ASSERT_TRUE(BoundsOf(a, Rgb(kText), Inside(a)).isValid());
  EXPECT_TRUE(SameInside(a, Shot(wide), 100));
}

// A caption too wide for the button is cut to its longest fitting prefix,
// with no ellipsis; it then looks as that prefix does on a wider button.
struct FitCase {
  std::string name;
  int extra;        // added to the width available for `fits`
  QString fits;     // what is drawn
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class FitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTest, CaptionCutToWhatFits) {
  const FitCase& c = GetParam();
  const QString caption = QStringLiteral("ABCDEFGH");
  // Available width: W - 2 * Margin - 4.
  const int W = Advance(c.fits) + c.extra + 12;
  TWButton cut(nullptr), whole(nullptr);
  Prepare(cut, W, caption);
  Prepare(whole, W + 200, c.fits);
  for (TWButton* b : {&cut, &whole}) b->SetAlignment(taLeftJustify);
  const QImage expected = Shot(whole);
  EXPECT_EQ(BoundsOf(expected, Rgb(kText), Inside(expected)).isValid(), !c.fits.isEmpty());
  EXPECT_TRUE(SameInside(Shot(cut), expected, W));
}

INSTANTIATE_TEST_SUITE_P(
    Fitting, FitTest,
    ::testing::Values(FitCase{"ExactlyAsWide", 0, "ABC"},
                      FitCase{"OnePixelShortOfTheNext", 0, "ABCDEFG"},
                      FitCase{"WholeExactly", 0, "ABCDEFGH"},
                      FitCase{"WholeWithRoom", 15, "ABCDEFGH"}),
    [](const auto& c) { return c.param.name; });

TEST(ButtonCaption, OnePixelLessDropsTheLastUnit) {
  const int W = Advance("ABC") - 1 + 12;
  TWButton cut(nullptr), whole(nullptr);
  Prepare(cut, W, "ABCDEFGH");
  Prepare(whole, W + 200, "AB");
  for (TWButton* b : {&cut, &whole}) b->SetAlignment(taLeftJustify);
  EXPECT_TRUE(SameInside(Shot(cut), Shot(whole), W));
}

// A first unit wider than the room leaves only the glyph, centred alone.
TEST(ButtonCaption, FirstUnitTooWideLeavesTheGlyphAlone) {
  const int W = 12 + 4 + 2 * 4 + 4 + Advance("W") - 1;
  TWButton b(nullptr);
  Prepare(b, W, "WWW", true);
  const QImage img = Shot(b);
  EXPECT_FALSE(BoundsOf(img, Rgb(kText), img.rect()).isValid());
  EXPECT_EQ(GlyphAt(img), QPoint(W / 2 - 6, 5));
}

// Fitting measures at most 254 units; a longer caption whose first 254
// units fit shows 255 of them.
TEST(ButtonCaption, AtMost255UnitsAreDrawn) {
  const int W = Advance(QString(300, 'i')) + 40;
  TWButton longer(nullptr), exact(nullptr), shorter(nullptr);
  Prepare(longer, W, QString(300, 'i'));
  Prepare(exact, W, QString(255, 'i'));
  Prepare(shorter, W, QString(254, 'i'));
  for (TWButton* b : {&longer, &exact, &shorter}) b->SetAlignment(taLeftJustify);
  const QImage shown = Shot(longer);
  EXPECT_TRUE(SameInside(shown, Shot(exact), W));
  EXPECT_FALSE(SameInside(shown, Shot(shorter), W));
}

// The caption's text box, as tall as the font's line, sits at
// H / 2 - (line / 2 + 1) from the top. The expectation is the caption drawn
// alone onto a blank image and moved there, for even and odd heights.
TEST(ButtonCaption, VerticallyCentredByItsLineHeight) {
  const QFont font = TestFont();
  QImage alone(120, 60, QImage::Format_RGB32);
  alone.fill(Qt::black);
  const QFontMetrics metrics(font, &alone);
  {
    QPainter p(&alone);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QPoint(0, metrics.ascent()), QStringLiteral("Mod"));
  }
  const QRect ink = BoundsOf(alone, qRgb(255, 255, 255), alone.rect());
  ASSERT_TRUE(ink.isValid());
  const int line = metrics.height();
  for (int H : {19, 22, 23, 30, 41}) {
    TWButton b(nullptr);
    Prepare(b, 100, "Mod");
    b.resize(100, H);
    b.SetAlignment(taLeftJustify);
    b.SetMargin(4);
    const QImage img = Shot(b);
    EXPECT_EQ(BoundsOf(img, Rgb(kText), img.rect()), ink.translated(4 + 2, H / 2 - (line / 2 + 1)))
        << "height " << H << ", line " << line;
  }
}

// The down look moves glyph and caption one pixel right and down.
TEST(ButtonCaption, DownLookOffsetsByOnePixel) {
  TWButton b(nullptr);
  Prepare(b, 100, "Mod", true);
  const QImage up = Shot(b);
  Mouse(b).Press(Qt::LeftButton);
  const QImage down = Shot(b);
  const QRect upText = BoundsOf(up, Rgb(kText), Inside(up));
  ASSERT_TRUE(upText.isValid());
  EXPECT_EQ(BoundsOf(down, Rgb(kText), Inside(down)), upText.translated(1, 1));
  EXPECT_EQ(GlyphAt(down), GlyphAt(up) + QPoint(1, 1));
  for (int y = 3; y < 19; ++y)
    for (int x = 3; x < 97; ++x)
      ASSERT_EQ(At(down, x + 1, y + 1), At(up, x, y)) << x << "," << y;
}

// Japanese captions are drawn with a Japanese face, not as empty boxes.
TEST(ButtonFonts, JapaneseNamesMapOntoAJapaneseFace) {
  struct {
    QString name, family;
  } const cases[] = {{QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic")},
                     {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")}};
  for (const auto& c : cases) {
    QFont f(c.name);
    f.setPixelSize(13);
    EXPECT_EQ(QFontInfo(f).family(), c.family) << c.name.toStdString();
    const QFontMetrics m(f);
    for (QChar ch : QStringLiteral("電卓の設定"))
      EXPECT_TRUE(m.inFont(ch)) << c.name.toStdString() << " lacks U+" << std::hex
                                << int(ch.unicode());
  }
}

TEST(ButtonFonts, JapaneseCaptionDrawsInTheButton) {
  TWButton b(nullptr);
  QFont f(QStringLiteral("MS UI Gothic"));
  f.setPixelSize(12);
  b.setFont(f);
  b.SetFaceColor(kFace);
  b.SetFontColor(kText);
  b.SetCaption(QStringLiteral("フォームカラー"));
  const QImage img = Shot(b);
  const QRect text = BoundsOf(img, Rgb(kText), Inside(img));
  ASSERT_TRUE(text.isValid());
  const int advance = QFontMetrics(f).horizontalAdvance(QStringLiteral("フォームカラー"));
  EXPECT_LE(text.width(), advance);
  EXPECT_GE(text.width(), advance - 4);
}

}  // namespace
