// Message boxes and MessageDlg as the user sees and answers them.
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "boxanswer.h"
#include "platform/dialogs.h"
#include "platform/qt/qtbackends.h"

namespace {

const QString kOk = "OK";
const QString kCancel = QString::fromUtf16(u"キャンセル");
const QString kYes = QString::fromUtf16(u"はい(&Y)");
const QString kNo = QString::fromUtf16(u"いいえ(&N)");
const QString kAbort = QString::fromUtf16(u"中止(&A)");

TEST(QtMessageBox, ShowsTheButtonsOfItsTypeAndAnswersWithTheirNumbers) {
  struct Case {
    UINT type;
    Act act;
    QString label;
    QStringList buttons;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, Act::Click, kOk, {kOk}, IDOK},
      {MB_OK, Act::Escape, {}, {kOk}, IDOK},
      {MB_OKCANCEL | MB_ICONWARNING, Act::Click, kOk, {kOk, kCancel}, IDOK},
      {MB_OKCANCEL | MB_ICONWARNING, Act::Click, kCancel, {kOk, kCancel}, IDCANCEL},
      {MB_OKCANCEL, Act::Escape, {}, {kOk, kCancel}, IDCANCEL},
      {MB_OKCANCEL, Act::Enter, {}, {kOk, kCancel}, IDOK},
      {MB_YESNO, Act::Click, kYes, {kYes, kNo}, IDYES},
      {MB_YESNO, Act::Click, kNo, {kYes, kNo}, IDNO},
      {MB_YESNO, Act::Escape, {}, {kYes, kNo}, IDNO},
      {MB_YESNOCANCEL, Act::Click, kNo, {kYes, kNo, kCancel}, IDNO},
      {MB_YESNOCANCEL, Act::Close, {}, {kYes, kNo, kCancel}, IDCANCEL},
      {MB_YESNOCANCEL, Act::Enter, {}, {kYes, kNo, kCancel}, IDYES},
  };
  for (const Case& c : cases) {
    Seen seen;
    const int answer =
        Answered([&] { return MessageBoxA(0, "x", "WB", c.type); }, c.act, seen, c.label);
    EXPECT_EQ(answer, c.answer) << c.type << " " << c.label.toStdString();
    EXPECT_EQ(seen.buttons, c.buttons) << c.type;
  }
}

TEST(QtMessageBox, ShowsTheCp932TextCaptionAndWarningIcon) {
  Seen seen;
  // "プログラムを終了しますか？ " in CP932.
  const char* text = "\x83\x76\x83\x8D\x83\x4F\x83\x89\x83\x80\x82\xF0\x8F\x49\x97\xB9\x82\xB5"
                     "\x82\xDC\x82\xB7\x82\xA9\x81\x48 ";
  Answered([&] { return MessageBoxA(0, text, "WB", MB_ICONWARNING | MB_OKCANCEL); }, Act::Escape,
           seen);
  EXPECT_EQ(seen.text, QString::fromUtf16(u"プログラムを終了しますか？ "));
  EXPECT_EQ(seen.title, "WB");
  EXPECT_EQ(seen.icon, QMessageBox::Warning);

  Answered([&] { return MessageBoxA(0, "<b>a</b>", "", MB_OK); }, Act::Escape, seen);
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen.text, "<b>a</b>");
}

// Two different kanji in the box's font come out as two different pictures:
// a missing glyph would draw the same empty box for both.
TEST(QtMessageBox, JapaneseTextHasGlyphs) {
  QMessageBox box;
  box.setText(QString::fromUtf16(u"終了"));
  const QFont font = box.findChild<QLabel*>("qt_msgbox_label")->font();
  auto draw = [&](const QString& s) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, s);
    return image;
  };
  const QImage end = draw(QString::fromUtf16(u"終"));
  const QImage finish = draw(QString::fromUtf16(u"了"));
  QImage blank(40, 40, QImage::Format_RGB32);
  blank.fill(Qt::white);
  EXPECT_NE(end, blank);
  EXPECT_NE(end, finish);
}

TEST(QtMessageDlg, YesNoAbortAnswerWithTheirModalResults) {
  struct Case {
    Act act;
    QString label;
    Qt::Key key;
    int answer;
  };
  const Case cases[] = {
      {Act::Click, kYes, Qt::Key_unknown, mrYes},
      {Act::Click, kNo, Qt::Key_unknown, mrNo},
      {Act::Click, kAbort, Qt::Key_unknown, mrAbort},
      {Act::AltKey, {}, Qt::Key_A, mrAbort},
      {Act::AltKey, {}, Qt::Key_N, mrNo},
      {Act::Enter, {}, Qt::Key_unknown, mrYes},
      {Act::Escape, {}, Qt::Key_unknown, mrCancel},
      {Act::Close, {}, Qt::Key_unknown, mrCancel},
  };
  for (const Case& c : cases) {
    Seen seen;
    const int answer = Answered(
        [] { return MessageDlg(u"続けますか\n2 行目", mtCustom, mbYes | mbNo | mbAbort, 0); },
        c.act, seen, c.label, c.key);
    EXPECT_EQ(answer, c.answer) << c.label.toStdString() << " " << static_cast<int>(c.act);
    EXPECT_EQ(seen.buttons, (QStringList{kYes, kNo, kAbort}));
    EXPECT_EQ(seen.title, "Zimro");
    EXPECT_EQ(seen.text, QString::fromUtf16(u"続けますか\n2 行目"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  }
}

TEST(QtMessageDlg, KindsGiveTheirCaptionAndIcon) {
  struct Case {
    TMsgDlgType type;
    QString title;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {mtWarning, QString::fromUtf16(u"警告"), QMessageBox::Warning},
      {mtError, QString::fromUtf16(u"エラー"), QMessageBox::Critical},
      {mtInformation, QString::fromUtf16(u"情報"), QMessageBox::Information},
      {mtConfirmation, QString::fromUtf16(u"確認"), QMessageBox::Question},
  };
  for (const Case& c : cases) {
    Seen seen;
    const int answer =
        Answered([&] { return MessageDlg(u"x", c.type, mbOK | mbCancel, 0); }, Act::Click, seen,
                 kOk);
    EXPECT_EQ(answer, mrOk);
    EXPECT_EQ(seen.title, c.title);
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.buttons, (QStringList{kOk, kCancel}));
  }
}

}  // namespace
