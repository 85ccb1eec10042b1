// controls: the image, the colour panel and the up-down of the dialogs.
#include "calculator/forms/controls.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QtMath>

#include "calculator/convert.h"
#include "calculator/errors.h"
#include "calculator/forms/formsupport.h"

namespace {

void Deliver(QObject* sender, const TMouseEvent& handler, QMouseEvent* e) {
  TMouseButton b;
  if (!handler || !ToMouseButton(e->button(), b)) return;
  const QPoint p = e->position().toPoint();
  handler(sender, b, ShiftOf(e), p.x(), p.y());
}

void DeliverMove(QObject* sender, const TMouseMoveEvent& handler, QMouseEvent* e) {
  if (!handler) return;
  const QPoint p = e->position().toPoint();
  handler(sender, ShiftOf(e), p.x(), p.y());
}

}  // namespace

TImage::TImage(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

QImage& TImage::Picture() {
  if (picture.isNull()) {
    // At the screen's resolution, so that the picture is not scaled up when
    // the screen is; it is drawn on in the control's own units.
    const qreal ratio = devicePixelRatioF();
    picture = QImage(qCeil(width() * ratio), qCeil(height() * ratio), QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
  }
  return picture;
}

void TImage::FillRect(int left, int top, int right, int bottom, TColor color) {
  if (right <= left || bottom <= top) return;
  QPainter p(&Picture());
  p.fillRect(QRect(left, top, right - left, bottom - top), ToQColor(color));
  update();
}

bool TImage::PixelAt(int x, int y, TColor& color) {
  const QImage& pic = Picture();
  const qreal ratio = pic.devicePixelRatio();
  if (x < 0 || y < 0) return false;
  // The screen pixel at the middle of the unit.
  const int px = static_cast<int>((x + 0.5) * ratio), py = static_cast<int>((y + 0.5) * ratio);
  if (!pic.valid(px, py)) return false;
  color = FromQRgb(pic.pixel(px, py) & 0xFFFFFF);
  return true;
}

void TImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  p.drawImage(0, 0, Picture());
}

void TImage::mousePressEvent(QMouseEvent* e) { Deliver(this, OnMouseDown, e); }
void TImage::mouseMoveEvent(QMouseEvent* e) { DeliverMove(this, OnMouseMove, e); }
void TImage::mouseReleaseEvent(QMouseEvent* e) { Deliver(this, OnMouseUp, e); }

TPanel::TPanel(QWidget* parent) : QFrame(parent) {
  setAutoFillBackground(true);
  SetColor(color);
}

void TPanel::SetColor(TColor value) {
  color = value;
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(value));
  setPalette(pal);
}

void TPanel::mousePressEvent(QMouseEvent* e) { Deliver(this, OnMouseDown, e); }
void TPanel::mouseMoveEvent(QMouseEvent* e) { DeliverMove(this, OnMouseMove, e); }
void TPanel::mouseReleaseEvent(QMouseEvent* e) { Deliver(this, OnMouseUp, e); }

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
  left = new QToolButton(this);
  right = new QToolButton(this);
  left->setArrowType(Qt::LeftArrow);
  right->setArrowType(Qt::RightArrow);
  left->setAutoRepeat(true);
  right->setAutoRepeat(true);
  left->setFocusPolicy(Qt::NoFocus);
  right->setFocusPolicy(Qt::NoFocus);
  connect(left, &QToolButton::clicked, this, [this] { Step(-1); });
  connect(right, &QToolButton::clicked, this, [this] { Step(+1); });
}

void TUpDown::Step(int direction) {
  int value = position;
  if (associate) {
    try {
      value = StrToInt(associate->text().toStdU16String());
    } catch (const EConvertError&) {
      // A field that holds no number steps from the last position.
    }
  }
  int64_t next = static_cast<int64_t>(value) + static_cast<int64_t>(direction) * Increment;
  if (next < Min) next = Min;
  if (next > Max) next = Max;
  position = static_cast<int>(next);
  if (associate) associate->setText(QString::number(position));
}

void TUpDown::resizeEvent(QResizeEvent*) {
  const int half = width() / 2;
  left->setGeometry(0, 0, half, height());
  right->setGeometry(half, 0, width() - half, height());
}
