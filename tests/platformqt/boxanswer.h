// Answering a modal message box the way a user would, from inside its
// event loop.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

#include "tests/testscope.h"

enum class Act { Click, Escape, Enter, Close, AltKey };

struct Seen {
  QString title;
  QString text;
  QStringList buttons;  // left to right
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QWidget* parent = nullptr;
};

// Runs `show` while answering its box with `act`; `seen` receives the box.
inline int Answered(const std::function<int()>& show, Act act, Seen& seen, const QString& label = {},
             Qt::Key key = Qt::Key_unknown) {
  auto box = std::make_shared<Seen>();
  auto* timer = new QTimer(TestScope());
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [=] {
    auto* open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    // Mnemonics work only in the active window.
    if (open == nullptr || !open->isVisible() || !open->isActiveWindow()) return;
    timer->stop();
    timer->deleteLater();
    // A box that the act did not end is closed, so that the case fails
    // instead of waiting for ever.
    QTimer::singleShot(5000, open, [box = QPointer<QMessageBox>(open)] {
      if (box) box->done(-1);
    });
    box->title = open->windowTitle();
    box->text = open->text();
    box->icon = open->icon();
    box->parent = open->parentWidget();
    QList<QAbstractButton*> buttons = open->buttons();
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
      return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    for (QAbstractButton* b : buttons) box->buttons << b->text();
    switch (act) {
      case Act::Click:
        for (QAbstractButton* b : buttons)
          if (b->text() == label) b->click();
        break;
      case Act::Escape: QTest::keyClick(open, Qt::Key_Escape); break;
      case Act::Enter: QTest::keyClick(open, Qt::Key_Return); break;
      case Act::AltKey: QTest::keyClick(open, key, Qt::AltModifier); break;
      case Act::Close: open->close(); break;
    }
  });
  timer->start();
  const int answer = show();
  seen = *box;
  return answer;
}

