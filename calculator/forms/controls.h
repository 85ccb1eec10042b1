// controls: the small controls the dialogs' resources place besides Qt's
// own: an image with a picture to draw on and read pixels from, a panel
// with a face colour, and a horizontal up-down attached to an edit field.
// Each reports its mouse events to its form's handlers.
#pragma once

#include <QFrame>
#include <QImage>
#include <QWidget>

#include "button/wbutton.h"

class QLineEdit;
class QToolButton;

// Mouse callbacks shared by the image and the panel.
struct MouseHandlers {
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
};

class TImage : public QWidget, public MouseHandlers {
  Q_OBJECT
  Q_PROPERTY(int tag MEMBER Tag)

 public:
  explicit TImage(QWidget* parent = nullptr);
  int Tag = 0;
  // What the image shows, at (0, 0); sized to the control on first use.
  QImage& Picture();
  // Rectangles right and bottom exclusive.
  void FillRect(int left, int top, int right, int bottom, TColor color);
  // The colour of the picture at (x, y); false outside it.
  bool PixelAt(int x, int y, TColor& color);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QImage picture;
};

class TPanel : public QFrame, public MouseHandlers {
  Q_OBJECT
  Q_PROPERTY(int tag MEMBER Tag)

 public:
  explicit TPanel(QWidget* parent = nullptr);
  int Tag = 0;
  TColor Color() const { return color; }
  void SetColor(TColor value);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  TColor color = 0xFFFFFF;
};

// Two arrow buttons; each click reads the attached field's number (the last
// position when it holds none), steps it by Increment within Min..Max and
// writes it back.
class TUpDown : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int min MEMBER Min)
  Q_PROPERTY(int max MEMBER Max)
  Q_PROPERTY(int increment MEMBER Increment)

 public:
  explicit TUpDown(QWidget* parent = nullptr);
  int Min = 0;
  int Max = 100;
  int Increment = 1;
  void SetAssociate(QLineEdit* edit) { associate = edit; }
  void Step(int direction);  // +1 right arrow, -1 left arrow
  QToolButton* Left() const { return left; }
  QToolButton* Right() const { return right; }

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  QLineEdit* associate = nullptr;
  QToolButton* left;
  QToolButton* right;
  int position = 0;
};
