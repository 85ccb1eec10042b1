// What the mouse does to the control: looks, clicks and the mouse events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <string>
#include <vector>

#include "support.h"

namespace {

const Colours kColours;

// The look on the screen, told by the corner pixel and the caption.
char LookOf(TWButton& b) {
  const QImage img = Shot(b);
  const QRgb corner = At(img, 0, 0);
  if (corner == Rgb(kColours.shadowOuter)) return 'D';
  if (corner == Rgb(kColours.enterFrame)) return 'E';
  if (corner != Rgb(kColours.highlight)) return '?';
  const bool gray = BoundsOf(img, Rgb(kColours.grayText), img.rect()).isValid();
  return gray ? 'X' : 'U';
}

struct Counts {
  int clicks = 0, downs = 0, ups = 0, enters = 0, leaves = 0;
  bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Counts& c) {
  return os << "clicks " << c.clicks << ", downs " << c.downs << ", ups " << c.ups
            << ", enters " << c.enters << ", leaves " << c.leaves;
}

struct Rig {
  TWButton b{nullptr};
  Mouse mouse{b};
  Counts counts;
  Rig() {
    Apply(b, kColours);
    b.SetWButtonEnter(weFrame);
    b.SetCaption("HIH");
    b.OnClick = [this](QObject* s) {
      EXPECT_EQ(s, &b);
      ++counts.clicks;
    };
    b.OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int, int) { ++counts.downs; };
    b.OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { ++counts.ups; };
    b.OnMouseEnter = [this](QObject*) { ++counts.enters; };
    b.OnMouseLeave = [this](QObject*) { ++counts.leaves; };
  }
};

// Steps: L R M press the left, right, middle button, l r m release it over
// the control, o releases the left one outside, 2 a double click's second
// press of the left button, > enter, < leave, - disable, + enable.
void Play(Rig& rig, const std::string& steps) {
  const QPoint outside(130, 40);
  for (char s : steps) switch (s) {
      case 'L': rig.mouse.Press(Qt::LeftButton); break;
      case 'R': rig.mouse.Press(Qt::RightButton); break;
      case 'M': rig.mouse.Press(Qt::MiddleButton); break;
      case 'l': rig.mouse.Release(Qt::LeftButton); break;
      case 'r': rig.mouse.Release(Qt::RightButton); break;
      case 'm': rig.mouse.Release(Qt::MiddleButton); break;
      case 'o': rig.mouse.Release(Qt::LeftButton, outside); break;
      case '2': rig.mouse.DoubleClick(Qt::LeftButton); break;
      case '>': rig.mouse.Enter(); break;
      case '<': rig.mouse.Leave(); break;
      case '-': rig.b.setEnabled(false); break;
      case '+': rig.b.setEnabled(true); break;
      default: FAIL() << "bad step " << s;
    }
}

struct MouseCase {
  std::string name, steps;
  std::string looks;  // the look after each step: U up, D down, E enter, X disabled
  Counts counts;
};

void PrintTo(const MouseCase& c, std::ostream* os) { *os << c.name; }

class MouseTest : public ::testing::TestWithParam<MouseCase> {};

TEST_P(MouseTest, LooksAndEvents) {
  const MouseCase& c = GetParam();
  ASSERT_EQ(c.steps.size(), c.looks.size());
  Rig rig;
  std::string looks;
  for (char s : c.steps) {
    Play(rig, std::string(1, s));
    looks += LookOf(rig.b);
  }
  EXPECT_EQ(looks, c.looks);
  EXPECT_EQ(rig.counts, c.counts);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, MouseTest,
    ::testing::Values(
        MouseCase{"EnterAndLeave", "><", "EU", {0, 0, 0, 1, 1}},
        MouseCase{"LeftClick", ">Ll<", "EDEU", {1, 1, 1, 1, 1}},
        MouseCase{"LeftClickWithoutEnter", "Ll", "DE", {1, 1, 1, 0, 0}},
        MouseCase{"ReleasedOutside", ">L<o", "EDUE", {1, 1, 1, 1, 1}},
        MouseCase{"RightPressShowsNoDownLook", ">Rr", "EEE", {0, 1, 1, 1, 0}},
        MouseCase{"RightPressFromUp", "Rr", "UE", {0, 1, 1, 0, 0}},
        MouseCase{"MiddlePress", "Mm", "UE", {0, 1, 1, 0, 0}},
        MouseCase{"DoubleClickIsTwoPresses", "Ll2l", "DEDE", {2, 2, 2, 0, 0}},
        MouseCase{"RightReleaseDuringLeftPress", "LRrl", "DDEE", {1, 2, 2, 0, 0}},
        // Disabled: nothing changes the look and nothing clicks, enters or
        // leaves; presses and releases are still reported.
        MouseCase{"Disabled", "->Ll<RrMm", "XXXXXXXXX", {0, 3, 3, 0, 0}},
        MouseCase{"DisabledDuringPress", "L-l+Rr", "DXXUUE", {0, 2, 2, 0, 0}},
        MouseCase{"ReenabledUnderThePointer", ">-+", "EXU", {0, 0, 0, 1, 0}},
        MouseCase{"ReenabledThenClicked", "-+Ll", "XUDE", {1, 1, 1, 0, 0}}),
    [](const auto& c) { return c.param.name; });

// Released over the control, the click comes while the down look still
// shows; released elsewhere, it comes after the enter look is up.
TEST(ButtonMouse, LookDuringTheClick) {
  struct {
    QPoint release;
    char look;
  } const cases[] = {{{10, 10}, 'D'}, {{-3, 5}, 'E'}, {{100, 5}, 'E'}, {{5, 22}, 'E'}};
  for (const auto& c : cases) {
    Rig rig;
    std::string seen;
    rig.b.OnClick = [&](QObject*) { seen += LookOf(rig.b); };
    rig.mouse.Press(Qt::LeftButton);
    rig.mouse.Release(Qt::LeftButton, c.release);
    EXPECT_EQ(seen, std::string(1, c.look)) << c.release.x() << "," << c.release.y();
    EXPECT_EQ(LookOf(rig.b), 'E');
  }
}

TEST(ButtonMouse, MouseEventsCarryButtonShiftAndPosition) {
  Rig rig;
  std::vector<std::string> seen;
  auto record = [&](const char* what) {
    return [&, what](QObject* s, TMouseButton button, TShiftState shift, int x, int y) {
      seen.push_back(std::string(what) + (s == &rig.b ? "" : " other") + " " +
                     std::to_string(button) + " " + std::to_string(shift) + " " +
                     std::to_string(x) + "," + std::to_string(y));
    };
  };
  rig.b.OnMouseDown = record("down");
  rig.b.OnMouseUp = record("up");
  rig.mouse.Press(Qt::RightButton, {7, 5}, Qt::ShiftModifier);
  rig.mouse.Release(Qt::RightButton, {8, 6}, Qt::ControlModifier);
  rig.mouse.Press(Qt::LeftButton, {1, 2});
  rig.mouse.DoubleClick(Qt::LeftButton, {3, 4});
  const std::vector<std::string> want{
      "down 1 " + std::to_string(ssShift | ssRight) + " 7,5",
      "up 1 " + std::to_string(ssCtrl) + " 8,6",
      "down 0 " + std::to_string(ssLeft) + " 1,2",
      "down 0 " + std::to_string(ssLeft | ssDouble) + " 3,4"};
  EXPECT_EQ(seen, want);
}

// Every setter repaints, also when the value does not change; Index does not.
TEST(ButtonRepaint, SettersRepaintIndexDoesNot) {
  TWButton b(nullptr);
  b.show();
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  b.installEventFilter(&counter);
  auto settle = [&] {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  };
  settle();
  const QImage glyph(3, 3, QImage::Format_RGB32);
  struct {
    const char* name;
    std::function<void()> set;
    bool repaints;
  } const cases[] = {
      {"Style", [&] { b.SetWButtonStyle(b.Style()); }, true},
      {"Enter", [&] { b.SetWButtonEnter(b.Enter()); }, true},
      {"Alignment", [&] { b.SetAlignment(b.Alignment()); }, true},
      {"Round", [&] { b.SetRound(b.Round()); }, true},
      {"Margin", [&] { b.SetMargin(b.Margin()); }, true},
      {"Spacing", [&] { b.SetSpacing(b.Spacing()); }, true},
      {"FaceColor", [&] { b.SetFaceColor(b.FaceColor()); }, true},
      {"HighlightColor", [&] { b.SetHighlightColor(b.HighlightColor()); }, true},
      {"ShadowInnerColor", [&] { b.SetShadowInnerColor(b.ShadowInnerColor()); }, true},
      {"ShadowOuterColor", [&] { b.SetShadowOuterColor(b.ShadowOuterColor()); }, true},
      {"GrayTextColor", [&] { b.SetGrayTextColor(b.GrayTextColor()); }, true},
      {"BackColor", [&] { b.SetBackColor(b.BackColor()); }, true},
      {"EnterTextColor", [&] { b.SetEnterTextColor(b.EnterTextColor()); }, true},
      {"EnterFaceColor", [&] { b.SetEnterFaceColor(b.EnterFaceColor()); }, true},
      {"EnterFrameColor", [&] { b.SetEnterFrameColor(b.EnterFrameColor()); }, true},
      {"Glyph", [&] { b.SetGlyph(glyph); }, true},
      {"Caption", [&] { b.SetCaption(b.Caption()); }, true},
      {"FontColor", [&] { b.SetFontColor(b.FontColor()); }, true},
      {"Index", [&] { b.Index = 7; }, false},
  };
  for (const auto& c : cases) {
    counter.paints = 0;
    c.set();
    settle();
    EXPECT_EQ(counter.paints > 0, c.repaints) << c.name;
  }
}

}  // namespace
