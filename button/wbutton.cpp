// wbutton: TWButton, the owner-drawn button control: painting, mouse and keys.
#include "button/wbutton.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {

QColor ToQColor(TColor Color) {
  return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

// Rectangles are (left, top, right, bottom) with right and bottom exclusive.
void FillRect(QPainter& Canvas, int Left, int Top, int Right, int Bottom, TColor Color) {
  if (Right <= Left || Bottom <= Top) return;
  Canvas.fillRect(Left, Top, Right - Left, Bottom - Top, ToQColor(Color));
}

// A one-pixel ring just inside the rectangle.
void FrameRect(QPainter& Canvas, int Left, int Top, int Right, int Bottom, TColor Color) {
  if (Right <= Left || Bottom <= Top) return;
  const QColor c = ToQColor(Color);
  Canvas.fillRect(Left, Top, Right - Left, 1, c);
  Canvas.fillRect(Left, Bottom - 1, Right - Left, 1, c);
  Canvas.fillRect(Left, Top, 1, Bottom - Top, c);
  Canvas.fillRect(Right - 1, Top, 1, Bottom - Top, c);
}

// A filled rounded rectangle whose corners are quarters of a Round x Round
// ellipse; outline and fill share the colour, so no pen is needed.
void RoundRect(QPainter& Canvas, int Left, int Top, int Right, int Bottom, int Round,
               TColor Color) {
  if (Right <= Left || Bottom <= Top) return;
  Canvas.setPen(Qt::NoPen);
  Canvas.setBrush(ToQColor(Color));
  Canvas.drawRoundedRect(QRectF(Left, Top, Right - Left, Bottom - Top), Round / 2.0,
                         Round / 2.0);
}

}  // namespace

bool ToMouseButton(Qt::MouseButton Button, TMouseButton& Result) {
  switch (Button) {
    case Qt::LeftButton: Result = mbLeft; return true;
    case Qt::RightButton: Result = mbRight; return true;
    case Qt::MiddleButton: Result = mbMiddle; return true;
    default: return false;
  }
}

TShiftState ShiftOf(const QMouseEvent* e, bool Double) {
  TShiftState s = 0;
  const Qt::KeyboardModifiers m = e->modifiers();
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  const Qt::MouseButtons b = e->buttons();
  if (b & Qt::LeftButton) s |= ssLeft;
  if (b & Qt::RightButton) s |= ssRight;
  if (b & Qt::MiddleButton) s |= ssMiddle;
  if (Double) s |= ssDouble;
  return s;
}

TWButton::TWButton(QWidget* AOwner) : QWidget(AOwner) {
  // Every paint covers every pixel: nothing is erased beforehand.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  // OnMouseMove hears every move, not only those with a button held.
  setMouseTracking(true);
  resize(100, 22);
  buffer = QImage(width(), height(), QImage::Format_RGB32);
  // Controls on a form are visible unless hidden.
  if (AOwner) show();
}

TWButton::~TWButton() = default;

void TWButton::SetWButtonStyle(TWButtonStyle Value) {
  FStyle = Value;
  if (Value == wsFlat) FEnter = weSingle;
  update();
}

void TWButton::SetWButtonEnter(TWButtonEnter Value) {
  FEnter = Value;
  update();
}

void TWButton::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  update();
}

void TWButton::SetRound(int32_t Value) {
  FRound = Value;
  update();
}

void TWButton::SetMargin(int32_t Value) {
  FMargin = Value;
  update();
}

void TWButton::SetSpacing(int32_t Value) {
  FSpacing = Value;
  update();
}

void TWButton::SetFaceColor(TColor Value) {
  FFaceColor = Value;
  update();
}

void TWButton::SetHighlightColor(TColor Value) {
  FHighlightColor = Value;
  update();
}

void TWButton::SetShadowInnerColor(TColor Value) {
  FShadowInnerColor = Value;
  update();
}

void TWButton::SetShadowOuterColor(TColor Value) {
  FShadowOuterColor = Value;
  update();
}

void TWButton::SetGrayTextColor(TColor Value) {
  FGrayTextColor = Value;
  update();
}

void TWButton::SetBackColor(TColor Value) {
  FBackColor = Value;
  update();
}

void TWButton::SetEnterTextColor(TColor Value) {
  FEnterTextColor = Value;
  update();
}

void TWButton::SetEnterFaceColor(TColor Value) {
  FEnterFaceColor = Value;
  update();
}

void TWButton::SetEnterFrameColor(TColor Value) {
  FEnterFrameColor = Value;
  update();
}

void TWButton::SetGlyph(const QImage& Value) {
  FGlyph = Value;
  GlyphChange(this);
}

void TWButton::SetCaption(const QString& Value) {
  FCaption = Value;
  CMTextChanged();
}

void TWButton::SetFontColor(TColor Value) {
  FFontColor = Value;
  CMFontChanged();
}

void TWButton::GlyphChange(QObject*) { update(); }

bool TWButton::event(QEvent* e) {
  // Qt keeps mouse input from a disabled widget. This control still reports
  // presses, moves and releases then; its disabled look keeps it from
  // reacting to them.
  if (!isEnabled()) {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
        mousePressEvent(static_cast<QMouseEvent*>(e));
        return true;
      case QEvent::MouseButtonDblClick:
        mouseDoubleClickEvent(static_cast<QMouseEvent*>(e));
        return true;
      case QEvent::MouseMove:
        mouseMoveEvent(static_cast<QMouseEvent*>(e));
        return true;
      case QEvent::MouseButtonRelease:
        mouseReleaseEvent(static_cast<QMouseEvent*>(e));
        return true;
      default:
        break;
    }
  }
  return QWidget::event(e);
}

void TWButton::paintEvent(QPaintEvent*) { Paint(); }

void TWButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) CMEnabledChanged();
  if (e->type() == QEvent::FontChange) CMFontChanged();
  QWidget::changeEvent(e);
}

void TWButton::enterEvent(QEnterEvent*) { CMMouseEnter(); }

void TWButton::leaveEvent(QEvent*) { CMMouseLeave(); }

void TWButton::PressOrDoubleClick(QMouseEvent* e, bool Double) {
  TMouseButton button;
  if (!ToMouseButton(e->button(), button)) {
    e->ignore();
    return;
  }
  if (button == mbLeft) clickPending = true;
  const QPoint p = e->position().toPoint();
  MouseDown(button, ShiftOf(e, Double), p.x(), p.y());
}

void TWButton::mousePressEvent(QMouseEvent* e) { PressOrDoubleClick(e, false); }

// Every press of a double click counts as a press of its own.
void TWButton::mouseDoubleClickEvent(QMouseEvent* e) { PressOrDoubleClick(e, true); }

void TWButton::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  MouseMove(ShiftOf(e, false), p.x(), p.y());
}

void TWButton::mouseReleaseEvent(QMouseEvent* e) {
  TMouseButton button;
  if (!ToMouseButton(e->button(), button)) {
    e->ignore();
    return;
  }
  const QPoint p = e->position().toPoint();
  // A left release over the control clicks first, while the down look still
  // shows; MouseUp clicks only for a press whose release was elsewhere.
  if (button == mbLeft && clickPending) {
    clickPending = false;
    if (rect().contains(p)) Click();
  }
  MouseUp(button, ShiftOf(e, false), p.x(), p.y());
}

void TWButton::CMEnabledChanged() {
  drawState = isEnabled() ? 0 : 3;
  // A press cut short by disabling is dropped, so that no later release of
  // another button delivers its click.
  pressed = 0;
  update();
}

void TWButton::CMFontChanged() { update(); }

void TWButton::CMTextChanged() { update(); }

void TWButton::CMMouseEnter() {
  if (drawState == 3) return;
  if (OnMouseEnter) OnMouseEnter(this);
  drawState = 2;
  update();
}

void TWButton::CMMouseLeave() {
  if (drawState == 3) return;
  if (OnMouseLeave) OnMouseLeave(this);
  drawState = 0;
  update();
}

void TWButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  if (drawState == 3 || Button == mbRight || Button == mbMiddle) return;
  pressed = 1;
  drawState = 1;
  update();
}

void TWButton::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TWButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
  if (drawState == 3) return;
  drawState = 2;
  update();
  if (pressed == 1) Click();
}

void TWButton::Click() {
  if (drawState == 3) return;
  // Whichever way the click came, it is the press's only one.
  clickPending = false;
  if (OnClick) OnClick(this);
  pressed = 0;
}

void TWButton::Paint() {
  const int W = width(), H = height();
  if (W <= 0 || H <= 0) return;
  // One buffer pixel per screen pixel, so that text stays sharp when the
  // screen is scaled; drawing keeps to the control's own units.
  const qreal ratio = devicePixelRatioF();
  const int bufferW = qCeil(W * ratio), bufferH = qCeil(H * ratio);
  if (buffer.width() != bufferW || buffer.height() != bufferH)
    buffer = QImage(bufferW, bufferH, QImage::Format_RGB32);
  buffer.setDevicePixelRatio(ratio);
  // Fonts given in points come out as large as on the screen.
  buffer.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
  buffer.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
  {
    QPainter canvas(&buffer);
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setRenderHint(QPainter::TextAntialiasing, false);
    switch (drawState) {
      case 1: WDrawDown(canvas); break;
      case 2: WDrawEnter(canvas); break;
      case 3: WDrawDisabled(canvas); break;
      default: WDrawUp(canvas); break;
    }
  }
  QPainter screen(this);
  screen.drawImage(0, 0, buffer);
}

void TWButton::WDrawEdge(QPainter& Canvas, TColor OuterTopLeft, TColor OuterBottomRight,
                         TColor InnerTopLeft, TColor InnerBottomRight) {
  const int W = width(), H = height();
  if (FRound > 0) {
    FillRect(Canvas, 0, 0, W, H, FBackColor);
    RoundRect(Canvas, 1, 1, W, H, FRound, OuterBottomRight);
    RoundRect(Canvas, 0, 0, W - 2, H - 2, FRound, OuterTopLeft);
    RoundRect(Canvas, 1, 1, W - 1, H - 1, FRound, InnerBottomRight);
    RoundRect(Canvas, 1, 1, W - 2, H - 2, FRound, FFaceColor);
    return;
  }
  // A negative Round draws square corners, so that the whole area is painted.
  FrameRect(Canvas, 0, 0, W, H, OuterBottomRight);
  FrameRect(Canvas, 0, 0, W - 1, H - 1, OuterTopLeft);
  FrameRect(Canvas, 1, 1, W - 1, H - 1, InnerBottomRight);
  FrameRect(Canvas, 1, 1, W - 2, H - 2, InnerTopLeft);
  FillRect(Canvas, 2, 2, W - 2, H - 2, FFaceColor);
}

void TWButton::WDrawUp(QPainter& Canvas) {
  switch (FStyle) {
    case wsSingle:
      WDrawEdge(Canvas, FHighlightColor, FShadowOuterColor, FFaceColor, FFaceColor);
      break;
    case wsFlat:
      WDrawEdge(Canvas, FFaceColor, FFaceColor, FFaceColor, FFaceColor);
      break;
    default:
      WDrawEdge(Canvas, FHighlightColor, FShadowOuterColor, FFaceColor, FShadowInnerColor);
      break;
  }
  WDrawCaption(Canvas, 0, FFontColor);
}

void TWButton::WDrawDown(QPainter& Canvas) {
  if (FStyle == wsSingle || FStyle == wsFlat)
    WDrawEdge(Canvas, FShadowOuterColor, FHighlightColor, FFaceColor, FFaceColor);
  else
    WDrawEdge(Canvas, FShadowOuterColor, FHighlightColor, FShadowInnerColor, FFaceColor);
  WDrawCaption(Canvas, 1, FFontColor);
}

void TWButton::WDrawEnter(QPainter& Canvas) {
  const int W = width(), H = height();
  switch (FEnter) {
    case weNormal:
      WDrawEdge(Canvas, FHighlightColor, FShadowOuterColor, FFaceColor, FShadowInnerColor);
      WDrawCaption(Canvas, 0, FEnterTextColor);
      break;
    case weSingle:
      WDrawEdge(Canvas, FHighlightColor, FShadowOuterColor, FFaceColor, FFaceColor);
      WDrawCaption(Canvas, 0, FEnterTextColor);
      break;
    case weFrame:
      WDrawEdge(Canvas, FEnterFrameColor, FEnterFrameColor, FFaceColor, FFaceColor);
      WDrawCaption(Canvas, 0, FEnterTextColor);
      break;
    case weFace:
      WDrawEdge(Canvas, FHighlightColor, FShadowOuterColor, FEnterFaceColor, FEnterFaceColor);
      FillRect(Canvas, 1, 1, W - 1, H - 1, FEnterFaceColor);
      WDrawCaption(Canvas, 0, FEnterTextColor);
      break;
    case weReverse:
      WDrawEdge(Canvas, FHighlightColor, FShadowOuterColor, FFontColor, FShadowInnerColor);
      FillRect(Canvas, 2, 2, W - 2, H - 2, FFontColor);
      WDrawCaption(Canvas, 0, FFaceColor);
      break;
    default:
      WDrawUp(Canvas);
      break;
  }
}

void TWButton::WDrawDisabled(QPainter& Canvas) {
  WDrawUp(Canvas);
  // Gray text on a light shadow one pixel down and to the right: embossed.
  WDrawCaption(Canvas, 1, FHighlightColor);
  WDrawCaption(Canvas, 0, FGrayTextColor);
}

QFont TWButton::CanvasFont() const {
  QFont f = font();
  // Text keeps to whole pixels in one colour, like the frame.
  f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::NoAntialias));
  return f;
}

int TWButton::WGetCaptionLength(int MaxWidth) {
  const QFontMetrics metrics(CanvasFont(), &buffer);
  const qsizetype len = FCaption.size();
  if (len == 0) return 0;
  // At most 255 units are ever drawn; fitting stops measuring there.
  for (int k = 1; k < 255; ++k) {
    if (metrics.horizontalAdvance(FCaption.left(k)) > MaxWidth) return k - 1;
    if (k >= len) return k;
  }
  return 255;
}

void TWButton::WDrawCaption(QPainter& Canvas, int Offset, TColor Color) {
  const int W = width(), H = height();
  const int glyphWidth = FGlyph.width(), glyphHeight = FGlyph.height();
  const int gap = glyphWidth > 0 ? FSpacing : 0;
  const int n = WGetCaptionLength(W - glyphWidth - gap - 2 * FMargin - 4);
  const QString text = FCaption.left(n);
  const QFont font = CanvasFont();
  const QFontMetrics metrics(font, &buffer);
  const int cx = metrics.horizontalAdvance(text), cy = metrics.height();
  const int contentWidth = n > 0 ? glyphWidth + gap + cx : glyphWidth;
  int x;
  switch (FAlignment) {
    case taLeftJustify: x = FMargin + 2; break;
    case taRightJustify: x = W - contentWidth - FMargin - 2; break;
    default: x = W / 2 - contentWidth / 2; break;
  }
  const int glyphY = H / 2 - (glyphHeight / 2 + 1);
  const int textX = x + glyphWidth + gap;
  const int textY = H / 2 - (cy / 2 + 1);

  if (glyphWidth > 0) {
    // The colour of the bottom-left pixel is the transparent one.
    QImage glyph = FGlyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = glyph.pixel(0, glyph.height() - 1) & 0xFFFFFF;
    for (int y = 0; y < glyph.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(glyph.scanLine(y));
      for (int i = 0; i < glyph.width(); ++i)
        if ((line[i] & 0xFFFFFF) == transparent) line[i] = 0;
    }
    Canvas.drawImage(x + Offset, glyphY + Offset, glyph);
  }
  if (n > 0) {
    Canvas.setFont(font);
    Canvas.setPen(ToQColor(Color));
    Canvas.setBrush(Qt::NoBrush);
    Canvas.drawText(QPoint(textX + Offset, textY + Offset + metrics.ascent()), text);
  }
}
