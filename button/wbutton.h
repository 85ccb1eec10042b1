// wbutton: TWButton, the owner-drawn button control.
// It paints every look itself, into an off-screen image first and onto the
// screen in one copy, so that it never flickers.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QPainter;

// 0x00BBGGRR, red in the low byte.
using TColor = int32_t;

enum TWButtonStyle : int32_t { wsNormal = 0, wsSingle = 1, wsFlat = 2 };
enum TWButtonEnter : int32_t {
  weNon = 0,
  weNormal = 1,
  weSingle = 2,
  weFrame = 3,
  weFace = 4,
  weReverse = 5
};
enum TAlignment : uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum TMouseButton : uint8_t { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

// A set of the keys and buttons held during a mouse event.
using TShiftState = uint16_t;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;
constexpr TShiftState ssDouble = 0x40;

class QMouseEvent;

// A mouse event's button and its keys and buttons held, as the mouse events
// of the button control and of the dialogs' controls hand them on.
bool ToMouseButton(Qt::MouseButton Button, TMouseButton& Result);
TShiftState ShiftOf(const QMouseEvent* e, bool Double = false);

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TMouseEvent =
    std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;

class TWButton : public QWidget {
  Q_OBJECT

 public:
  // The owner becomes the parent.
  explicit TWButton(QWidget* AOwner);
  ~TWButton() override;

  TWButtonStyle Style() const { return FStyle; }
  TWButtonEnter Enter() const { return FEnter; }
  TAlignment Alignment() const { return FAlignment; }
  int32_t Round() const { return FRound; }
  int32_t Margin() const { return FMargin; }
  int32_t Spacing() const { return FSpacing; }
  TColor FaceColor() const { return FFaceColor; }
  TColor HighlightColor() const { return FHighlightColor; }
  TColor ShadowInnerColor() const { return FShadowInnerColor; }
  TColor ShadowOuterColor() const { return FShadowOuterColor; }
  TColor GrayTextColor() const { return FGrayTextColor; }
  TColor BackColor() const { return FBackColor; }
  TColor EnterTextColor() const { return FEnterTextColor; }
  TColor EnterFaceColor() const { return FEnterFaceColor; }
  TColor EnterFrameColor() const { return FEnterFrameColor; }
  const QImage& Glyph() const { return FGlyph; }
  const QString& Caption() const { return FCaption; }
  // The colour of the caption; the face and size are the widget's font().
  TColor FontColor() const { return FFontColor; }

  // Every setter repaints, also when the value is unchanged.
  void SetWButtonStyle(TWButtonStyle Value);  // wsFlat also sets Enter to weSingle
  void SetWButtonEnter(TWButtonEnter Value);
  void SetAlignment(TAlignment Value);
  void SetRound(int32_t Value);
  void SetMargin(int32_t Value);
  void SetSpacing(int32_t Value);
  void SetFaceColor(TColor Value);
  void SetHighlightColor(TColor Value);
  void SetShadowInnerColor(TColor Value);
  void SetShadowOuterColor(TColor Value);
  void SetGrayTextColor(TColor Value);
  void SetBackColor(TColor Value);
  void SetEnterTextColor(TColor Value);
  void SetEnterFaceColor(TColor Value);
  void SetEnterFrameColor(TColor Value);
  // Copies the picture; its bottom-left pixel's colour is drawn transparent.
  void SetGlyph(const QImage& Value);
  void SetCaption(const QString& Value);
  void SetFontColor(TColor Value);

  // A free number for the control's user; writing it does not repaint.
  int32_t Index = 0;

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void changeEvent(QEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

  virtual void CMEnabledChanged();
  virtual void CMFontChanged();
  virtual void CMTextChanged();
  virtual void CMMouseEnter();
  virtual void CMMouseLeave();
  virtual void Click();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Paint();

 private:
  void GlyphChange(QObject* Sender);
  void WDrawCaption(QPainter& Canvas, int Offset, TColor Color);
  void WDrawEdge(QPainter& Canvas, TColor OuterTopLeft, TColor OuterBottomRight,
                 TColor InnerTopLeft, TColor InnerBottomRight);
  void WDrawUp(QPainter& Canvas);
  void WDrawDown(QPainter& Canvas);
  void WDrawEnter(QPainter& Canvas);
  void WDrawDisabled(QPainter& Canvas);
  int WGetCaptionLength(int MaxWidth);
  QFont CanvasFont() const;
  void PressOrDoubleClick(QMouseEvent* e, bool Double);

  int32_t drawState = 0;  // 0 up, 1 down, 2 enter, 3 disabled
  TWButtonStyle FStyle = wsNormal;
  TWButtonEnter FEnter = weNon;
  TAlignment FAlignment = taCenter;
  int32_t FRound = 0;
  int32_t FMargin = 4;
  int32_t FSpacing = 4;
  int32_t pressed = 0;  // 1 from a left press until its click is delivered
  TColor FFaceColor = 0xC0C0C0;
  TColor FHighlightColor = 0xFFFFFF;
  TColor FShadowInnerColor = 0x808080;
  TColor FShadowOuterColor = 0x000000;
  TColor FGrayTextColor = 0x808080;
  TColor FBackColor = 0xC0C0C0;
  TColor FEnterTextColor = 0xFFFFFF;
  TColor FEnterFaceColor = 0xE0E0E0;
  TColor FEnterFrameColor = 0xFFFFFF;
  QImage buffer;
  QImage FGlyph;
  QString FCaption;
  TColor FFontColor = 0x000000;
  // A left press whose release over the control is a click.
  bool clickPending = false;
};
