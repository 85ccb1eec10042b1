// The frame and face of every look and style, pixel by pixel.
#include <gtest/gtest.h>

#include <QImage>
#include <QSet>
#include <string>
#include <vector>

#include "support.h"

namespace {

enum class Look { Up, Down, Enter, Disabled };

// Brings a fresh control into a look the way a user does.
void Show(TWButton& b, Look look) {
  Mouse mouse(b);
  switch (look) {
    case Look::Up: break;
    case Look::Down: mouse.Press(Qt::LeftButton); break;
    case Look::Enter: mouse.Enter(); break;
    case Look::Disabled: b.setEnabled(false); break;
  }
}

// The square frame: two rings, each with its top and left lines in the first
// colour and its bottom and right lines, top-right and bottom-left corners
// included, in the second; the face inside.
QRgb SquarePixel(int x, int y, int w, int h, TColor otl, TColor obr, TColor itl, TColor ibr,
                 TColor face) {
  auto ring = [&](int i, TColor tl, TColor br) {
    const bool topLeft = (x == i && y < h - 1 - i) || (y == i && x < w - 1 - i);
    return Rgb(topLeft ? tl : br);
  };
  if (x == 0 || y == 0 || x == w - 1 || y == h - 1) return ring(0, otl, obr);
  if (x == 1 || y == 1 || x == w - 2 || y == h - 2) return ring(1, itl, ibr);
  return Rgb(face);
}

struct FrameCase {
  std::string name;
  TWButtonStyle style;
  int enter;  // -1 leaves Enter as the style made it
  Look look;
  TColor Colours::*otl, Colours::*obr, Colours::*itl, Colours::*ibr, Colours::*face;
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

class FrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameTest, RingsAndFaceCoverEveryPixel) {
  const FrameCase& c = GetParam();
  const Colours colours;
  for (QSize size : {QSize(100, 22), QSize(15, 15), QSize(37, 9)}) {
    TWButton b(nullptr);
    b.resize(size);
    Apply(b, colours);
    b.SetWButtonStyle(c.style);
    if (c.enter >= 0) b.SetWButtonEnter(TWButtonEnter(c.enter));
    Show(b, c.look);
    const QImage img = Shot(b);
    ASSERT_EQ(img.size(), size);
    int wrong = 0;
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) {
        const QRgb want = SquarePixel(x, y, size.width(), size.height(), colours.*c.otl,
                                      colours.*c.obr, colours.*c.itl, colours.*c.ibr,
                                      colours.*c.face);
        if (At(img, x, y) != want && ++wrong <= 5)
          ADD_FAILURE() << size.width() << "x" << size.height() << " pixel (" << x << ", " << y
                        << ") is " << std::hex << At(img, x, y) << ", want " << want;
      }
    EXPECT_EQ(wrong, 0) << size.width() << "x" << size.height();
  }
}

using C = Colours;
constexpr auto H = &C::highlight, SO = &C::shadowOuter, SI = &C::shadowInner, F = &C::face,
               EF = &C::enterFrame, EFace = &C::enterFace, Font = &C::font;

INSTANTIATE_TEST_SUITE_P(
    Looks, FrameTest,
    ::testing::Values(
        FrameCase{"UpNormal", wsNormal, -1, Look::Up, H, SO, F, SI, F},
        FrameCase{"UpSingle", wsSingle, -1, Look::Up, H, SO, F, F, F},
        FrameCase{"UpFlat", wsFlat, -1, Look::Up, F, F, F, F, F},
        FrameCase{"DownNormal", wsNormal, -1, Look::Down, SO, H, SI, F, F},
        FrameCase{"DownSingle", wsSingle, -1, Look::Down, SO, H, F, F, F},
        FrameCase{"DownFlat", wsFlat, -1, Look::Down, SO, H, F, F, F},
        FrameCase{"EnterNonNormal", wsNormal, weNon, Look::Enter, H, SO, F, SI, F},
        FrameCase{"EnterNonSingle", wsSingle, weNon, Look::Enter, H, SO, F, F, F},
        // Enter set after the flat style keeps the later value.
        FrameCase{"EnterNonFlat", wsFlat, weNon, Look::Enter, F, F, F, F, F},
        // The flat style brings the single enter look with it.
        FrameCase{"EnterFlatDefault", wsFlat, -1, Look::Enter, H, SO, F, F, F},
        // The other enter looks do not depend on the style.
        FrameCase{"EnterNormal", wsFlat, weNormal, Look::Enter, H, SO, F, SI, F},
        FrameCase{"EnterSingle", wsNormal, weSingle, Look::Enter, H, SO, F, F, F},
        FrameCase{"EnterFrame", wsSingle, weFrame, Look::Enter, EF, EF, F, F, F},
        FrameCase{"EnterFace", wsFlat, weFace, Look::Enter, H, SO, EFace, EFace, EFace},
        FrameCase{"EnterReverse", wsNormal, weReverse, Look::Enter, H, SO, Font, SI, Font},
        FrameCase{"DisabledNormal", wsNormal, weFrame, Look::Disabled, H, SO, F, SI, F},
        FrameCase{"DisabledFlat", wsFlat, -1, Look::Disabled, F, F, F, F, F}),
    [](const auto& c) { return c.param.name; });

TEST(ButtonLooks, DefaultsAreTheClassicGrayButton) {
  TWButton b(nullptr);
  EXPECT_EQ(b.size(), QSize(100, 22));
  b.SetCaption("HIH");
  const QImage img = Shot(b);
  // The caption is black on the face.
  QSet<QRgb> inside;
  for (int y = 2; y < 20; ++y)
    for (int x = 2; x < 98; ++x) inside.insert(At(img, x, y));
  EXPECT_EQ(inside, (QSet<QRgb>{Rgb(0xC0C0C0), Rgb(0x000000)}));
  EXPECT_EQ(At(img, 0, 0), Rgb(0xFFFFFF));      // highlight
  EXPECT_EQ(At(img, 99, 21), Rgb(0x000000));    // outer shadow
  EXPECT_EQ(At(img, 98, 20), Rgb(0x808080));    // inner shadow
  EXPECT_EQ(At(img, 1, 1), Rgb(0xC0C0C0));      // face
  EXPECT_EQ(At(img, 50, 11), Rgb(0xC0C0C0));
}

// The owner becomes the parent, and the button shows on it like any control,
// also when the owner is already on the screen.
TEST(ButtonLooks, ShowsOnItsOwner) {
  QWidget form;
  form.resize(200, 100);
  TWButton before(&form);
  form.show();
  TWButton after(&form);
  after.move(0, 50);
  for (TWButton* b : {&before, &after}) {
    EXPECT_EQ(b->parentWidget(), &form);
    EXPECT_TRUE(b->isVisible());
  }
  const QImage img = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(At(img, 0, 0), Rgb(0xFFFFFF));
  EXPECT_EQ(At(img, 99, 71), Rgb(0x000000));
  EXPECT_EQ(At(img, 1, 51), Rgb(0xC0C0C0));
}

// The rounded look: BackColor outside the shape, the outer top-left colour on
// its top and left, the outer bottom-right colour on its bottom and right,
// the inner bottom-right colour just inside those, the face within.
TEST(ButtonLooks, RoundedCornersShowTheBackColour) {
  const Colours c;
  TWButton b(nullptr);
  Apply(b, c);
  b.SetRound(8);
  const QImage img = Shot(b);
  const int w = 100, h = 22;
  for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1),
                        QPoint(1, 0), QPoint(0, 1)})
    EXPECT_EQ(At(img, corner.x(), corner.y()), Rgb(c.back)) << corner.x() << "," << corner.y();
  EXPECT_EQ(At(img, w / 2, 0), Rgb(c.highlight));
  EXPECT_EQ(At(img, 0, h / 2), Rgb(c.highlight));
  EXPECT_EQ(At(img, w / 2, h - 1), Rgb(c.shadowOuter));
  EXPECT_EQ(At(img, w - 1, h / 2), Rgb(c.shadowOuter));
  EXPECT_EQ(At(img, w / 2, h - 2), Rgb(c.shadowInner));
  EXPECT_EQ(At(img, w - 2, h / 2), Rgb(c.shadowInner));
  EXPECT_EQ(At(img, w / 2, 1), Rgb(c.face));
  EXPECT_EQ(At(img, 1, h / 2), Rgb(c.face));
  EXPECT_EQ(At(img, w / 2, h / 2), Rgb(c.face));
  // The inner top-left colour (the face, in this style) is not drawn apart:
  // nothing but these five colours appears.
  QSet<QRgb> seen;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) seen.insert(At(img, x, y));
  EXPECT_EQ(seen, (QSet<QRgb>{Rgb(c.back), Rgb(c.highlight), Rgb(c.shadowOuter),
                              Rgb(c.shadowInner), Rgb(c.face)}));
}

TEST(ButtonLooks, SquareCornersNeverShowTheBackColour) {
  const Colours c;
  for (int round : {0, -5}) {
    TWButton b(nullptr);
    Apply(b, c);
    b.SetRound(round);
    const QImage img = Shot(b);
    EXPECT_EQ(At(img, 0, 0), Rgb(c.highlight)) << round;
    EXPECT_EQ(At(img, 99, 21), Rgb(c.shadowOuter)) << round;
    EXPECT_FALSE(BoundsOf(img, Rgb(c.back), img.rect()).isValid()) << round;
  }
}

// The caption's colour in each look: every pixel inside the frame is either
// the face or the caption.
struct CaptionColourCase {
  std::string name;
  int enter;
  Look look;
  TColor Colours::*face, Colours::*text;
};

void PrintTo(const CaptionColourCase& c, std::ostream* os) { *os << c.name; }

class CaptionColourTest : public ::testing::TestWithParam<CaptionColourCase> {};

TEST_P(CaptionColourTest, CaptionInItsColour) {
  const CaptionColourCase& c = GetParam();
  const Colours colours;
  TWButton b(nullptr);
  Apply(b, colours);
  b.SetCaption("HIH");
  b.SetWButtonEnter(TWButtonEnter(c.enter));
  Show(b, c.look);
  const QImage img = Shot(b);
  QSet<QRgb> seen;
  for (int y = 2; y < 20; ++y)
    for (int x = 2; x < 98; ++x) seen.insert(At(img, x, y));
  EXPECT_EQ(seen, (QSet<QRgb>{Rgb(colours.*c.face), Rgb(colours.*c.text)}));
}

INSTANTIATE_TEST_SUITE_P(
    Looks, CaptionColourTest,
    ::testing::Values(CaptionColourCase{"Up", weNormal, Look::Up, F, Font},
                      CaptionColourCase{"Down", weNormal, Look::Down, F, Font},
                      CaptionColourCase{"EnterNon", weNon, Look::Enter, F, Font},
                      CaptionColourCase{"EnterNormal", weNormal, Look::Enter, F, &C::enterText},
                      CaptionColourCase{"EnterSingle", weSingle, Look::Enter, F, &C::enterText},
                      CaptionColourCase{"EnterFrame", weFrame, Look::Enter, F, &C::enterText},
                      CaptionColourCase{"EnterFace", weFace, Look::Enter, EFace, &C::enterText},
                      CaptionColourCase{"EnterReverse", weReverse, Look::Enter, Font, F}),
    [](const auto& c) { return c.param.name; });

// Disabled: gray text standing on a light copy one pixel down and right.
TEST(ButtonLooks, DisabledCaptionIsEmbossed) {
  const Colours c;
  TWButton up(nullptr), off(nullptr);
  for (TWButton* b : {&up, &off}) {
    Apply(*b, c);
    b->SetCaption("HIH");
  }
  off.setEnabled(false);
  const QImage text = Shot(up), img = Shot(off);
  auto isText = [&](int x, int y) { return At(text, x, y) == Rgb(c.font); };
  ASSERT_TRUE(BoundsOf(text, Rgb(c.font), text.rect()).isValid());
  int wrong = 0;
  for (int y = 3; y < 20; ++y)
    for (int x = 3; x < 98; ++x) {
      const QRgb want = isText(x, y)           ? Rgb(c.grayText)
                        : isText(x - 1, y - 1) ? Rgb(c.highlight)
                                               : Rgb(c.face);
      if (At(img, x, y) != want) ++wrong;
    }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
