// TFormInput: the input dialog.
#include "forminput.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

TFormInput::TFormInput(QWidget* parent) : QDialog(parent) {
  setupUi(this);
  QFont f = font();
  f.setPixelSize(13);
  setFont(f);
  setFixedSize(272, 79);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(Button2, &QPushButton::clicked, this, [this] { done(mrAbort); });
  // Key preview: the form sees every key of its controls first.
  EditInput->installEventFilter(this);
  Button1->installEventFilter(this);
  Button2->installEventFilter(this);
}

void TFormInput::FormActivate() { EditInput->setFocus(Qt::ActiveWindowFocusReason); }

void TFormInput::FormKeyDown(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) done(mrOk);
  if (key == Qt::Key_Escape) done(mrCancel);
}

int TFormInput::ShowModal() {
  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect r = s->availableGeometry();
    move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
  }
  setResult(mrNone);
  EditInput->setFocus(Qt::OtherFocusReason);
  return exec();
}

bool TFormInput::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) FormActivate();
  if (e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      FormKeyDown(key);
      return true;
    }
  }
  return QDialog::event(e);
}

bool TFormInput::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      FormKeyDown(key);
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}
