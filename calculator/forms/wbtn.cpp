// wbtn: the calculator buttons and the window layout.
#include "wbtn.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>
#include <cstdint>
#include <new>
#include <string>

#include "button/wbutton.h"
#include "calculator/layout.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "formcalc.h"
#include "memo.h"
#include "platform/exceptions.h"
#include "platform/heap.h"
#include "runs.h"

namespace {

QColor ToQColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void SetColor(QWidget* w, QPalette::ColorRole role, TColor c) {
  QPalette p = w->palette();
  p.setColor(role, ToQColor(c));
  w->setPalette(p);
}

void Place(QWidget* w, const LayoutRect& r) { w->setGeometry(r.left, r.top, r.width, r.height); }

LayoutRect ToLayoutRect(const QRect& r) { return LayoutRect{r.x(), r.y(), r.width(), r.height()}; }

// What the screens leave free for windows, the primary screen first.
ScreenAreas AvailableScreens() {
  ScreenAreas areas;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr) areas.push_back(ToLayoutRect(primary->availableGeometry()));
  for (const QScreen* s : QGuiApplication::screens()) {
    if (s != primary) areas.push_back(ToLayoutRect(s->availableGeometry()));
  }
  return areas;
}

}  // namespace

int PointsToPixels(int points) {
  const int64_t pixels = (int64_t{points} * 96 + 36) / 72;
  return static_cast<int>(std::clamp<int64_t>(pixels, INT32_MIN, INT32_MAX));
}

wbtn::wbtn(int32_t buttonCount, TFormCalc* form, QMenu* popupMenu) {
  count = buttonCount < 1 ? 1 : buttonCount;
  owner = form;
  left = 0;
  top = 0;
  current = 1;
  buttons = static_cast<TWButton**>(
      GlobalAlloc(GMEM_ZEROINIT, sizeof(TWButton*) * static_cast<size_t>(count)));
  if (buttons == nullptr) throw EOutOfMemory();
  for (int32_t i = 0; i < count; ++i) {
    TWButton* b = new TWButton(owner);
    buttons[i] = b;
    b->Index = i + 1;
    b->hide();
    b->OnClick = [this](QObject* sender) { ButtonClick(sender); };
    b->OnMouseDown = [this](QObject* sender, TMouseButton, TShiftState, int, int) {
      ButtonMouseDown(sender);
    };
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(b, &QWidget::customContextMenuRequested, b,
                     [b, popupMenu](const QPoint& p) { popupMenu->popup(b->mapToGlobal(p)); });
    b->setFont(QFont(QStringLiteral("Tahoma")));
    if (i < 10) b->SetAlignment(taLeftJustify);
  }
}

wbtn::~wbtn() {
  // A button's own click may close the window (EXIT) and so end the grid:
  // the buttons go once that click has returned.
  for (int32_t i = 0; i < count; ++i) {
    buttons[i]->hide();
    buttons[i]->deleteLater();
  }
  GlobalFree(buttons);
}

void wbtn::ButtonClick(QObject* sender) {
  current = static_cast<TWButton*>(sender)->Index;
  Setting->inputWait = 0;
  if (Setting->busy != 0) return;
  Setting->busy = 1;
  // The busy flag must come down also when the run raises.
  struct Clear {
    ~Clear() {
      if (Setting != nullptr) Setting->busy = 0;
    }
  } clear;
  const std::u16string program = ButtonTable->GetField(current, 5).AsString();
  RunButtonProgram(program);
}

void wbtn::ButtonMouseDown(QObject* sender) { current = static_cast<TWButton*>(sender)->Index; }

int wbtn::Arrange(const CalcLayout& layout) {
  for (int32_t i = 0; i < count; ++i) {
    buttons[i]->SetFontColor(Setting->textColor);
    buttons[i]->SetFaceColor(Setting->buttonColor);
    buttons[i]->hide();
  }
  left = layout.gridLeft;
  top = layout.gridBottom;
  for (int32_t i = 0; i < count && i < kButtonCount; ++i) {
    const ButtonPlace& place = layout.buttons[static_cast<size_t>(i)];
    if (!place.visible) continue;
    TWButton* b = buttons[i];
    Place(b, place.rect);
    QFont f = b->font();
    f.setPixelSize(std::max(1, PointsToPixels(place.fontSize)));
    b->setFont(f);
    b->show();
  }
  return top;
}

int ArrangeForm() {
  if (FormCalc == nullptr || Setting == nullptr || ButtonSet == nullptr) return 0;
  TFormCalc* f = FormCalc;
  f->formColor = Setting->formColor;
  SetColor(f, QPalette::Window, Setting->formColor);
  SetColor(f->LabelCaption, QPalette::WindowText, Setting->titleColor);
  for (TWButton* b : {f->WSysButton1, f->WSysButton2, f->WSysButton3}) {
    b->SetFaceColor(Setting->formColor);
  }
  // The label measured at each font the layout tries; the window then shows
  // the font the layout chose.
  QFont labelFont = f->LabelSize->font();
  const QString widest = f->LabelSize->text();
  auto measure = [&labelFont, &widest](int32_t points) {
    QFont font = labelFont;
    font.setPixelSize(std::max(1, PointsToPixels(points)));
    const QFontMetrics m(font);
    return std::pair<int32_t, int32_t>(m.horizontalAdvance(widest), m.height());
  };
  const LayoutRect screen = ScreenOfWindow(ToLayoutRect(f->geometry()), AvailableScreens());
  const CalcLayout layout = FitLayout(*Setting, measure, screen);
  const int pixels = std::max(1, PointsToPixels(layout.fontSize));
  labelFont.setPixelSize(pixels);
  f->LabelSize->setFont(labelFont);
  f->LabelSize->adjustSize();
  QFont memoFont = f->MemoOut->font();
  memoFont.setPixelSize(pixels);
  f->MemoOut->setFont(memoFont);
  Place(f->MemoOut, layout.display);
  Place(f->WSysButton1, layout.titleButtons[0]);
  Place(f->WSysButton2, layout.titleButtons[1]);
  Place(f->WSysButton3, layout.titleButtons[2]);
  ButtonSet->Arrange(layout);
  f->setFixedSize(layout.clientWidth, layout.clientHeight);
  SetMemoMargins();
  f->update();
  return 0;
}

void PlaceForm(int32_t left, int32_t top) {
  if (FormCalc == nullptr) return;
  const LayoutRect placed =
      PlaceWindow(LayoutRect{left, top, FormCalc->width(), FormCalc->height()}, AvailableScreens());
  FormCalc->move(placed.left, placed.top);
}

int ShowButton(int n) {
  if (ButtonSet == nullptr || ButtonTable == nullptr || n < 1 || n > ButtonSet->count) return 0;
  TWButton* b = ButtonSet->buttons[n - 1];
  const ButtonLook look = LookOfButton(*ButtonTable, n, *Setting);
  b->SetCaption(
      QString::fromUtf16(look.caption.data(), static_cast<qsizetype>(look.caption.size())));
  b->SetFontColor(look.textColor);
  b->SetFaceColor(look.faceColor);
  return 0;
}

int RefreshButtons() {
  if (ButtonSet == nullptr || Setting == nullptr) return 0;
  for (int n = 1; n <= ButtonSet->count; ++n) ShowButton(n);
  TFormCalc* f = FormCalc;
  f->formColor = Setting->formColor;
  f->update();
  const bool edit = Setting->buttonEditMode != 0;
  f->MenuButtonEdit->setVisible(edit);
  f->MenuButtonCopy->setVisible(edit);
  f->MenuButtonPaste->setVisible(edit);
  f->MenuButtonDelete->setVisible(edit);
  return 0;
}

int SetMemoMargins() {
  if (FormCalc == nullptr) return 0;
  FormCalc->MemoOut->document()->setDocumentMargin(2);
  return 0;
}

int ApplyStayOnTop() {
  if (FormCalc == nullptr || Setting == nullptr) return 0;
  TFormCalc* f = FormCalc;
  const bool onTop = Setting->stayOnTop == 1;
  if (f->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return 0;
  // Changing the flags hides the window; it is shown again where it stood.
  const bool shown = f->isVisible();
  const QPoint at = f->pos();
  f->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  f->move(at);
  if (shown) f->show();
  return 0;
}
