// The help window: F1 and the help menu open it at the contents page of the
// help beside the program; a missing help document shows a message instead.
#include <QFontInfo>
#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>

#include "calculator/forms/helpwindow.h"
#include "support.h"

namespace {

class HelpWindowTest : public CalcWindowTest {
 protected:
  // The help document that the build puts beside the program, beside the
  // window's program too.
  void PutHelpBesideTheProgram() {
    ASSERT_TRUE(QFile::link(QCoreApplication::applicationDirPath() + "/help",
                            dir_.filePath("help")));
  }
  QToolButton* ToolButton(const QString& text) {
    for (QToolButton* button : HelpWindow->findChildren<QToolButton*>())
      if (button->text() == text) return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
  }
  void ExpectContentsShown() {
    ASSERT_NE(HelpWindow, nullptr);
    EXPECT_TRUE(HelpWindow->isVisible());
    QTextBrowser* browser = HelpWindow->Browser();
    EXPECT_EQ(browser->source().toLocalFile().toStdString(),
              dir_.filePath("help/index.html").toStdString());
    EXPECT_EQ(HelpWindow->windowTitle().toStdString(), "Zimro ヘルプ - 目次");
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("キーワード一覧（91 語）")));
    EXPECT_TRUE(boxes_.dialogs.empty());
  }
};

TEST_F(HelpWindowTest, F1OpensTheContentsPage) {
  PutHelpBesideTheProgram();
  QTest::keyClick(form_->MemoOut, Qt::Key_F1);
  ExpectContentsShown();
}

TEST_F(HelpWindowTest, TheHelpMenuItemOpensTheContentsPage) {
  PutHelpBesideTheProgram();
  form_->MenuHelp->trigger();
  ExpectContentsShown();
}

TEST_F(HelpWindowTest, LinksLeadOnAndTheContentsButtonComesBack) {
  PutHelpBesideTheProgram();
  ShowHelpContents();
  ASSERT_NE(HelpWindow, nullptr);
  QTextBrowser* browser = HelpWindow->Browser();
  QToolButton* back = ToolButton(QStringLiteral("戻る"));
  ASSERT_NE(back, nullptr);
  EXPECT_FALSE(back->isEnabled());

  // The first link of the contents, by keyboard: Tab to it, Enter follows it.
  browser->setFocus();
  QTest::keyClick(browser, Qt::Key_Tab);
  QTest::keyClick(browser, Qt::Key_Return);
  EXPECT_EQ(browser->source().toLocalFile().toStdString(),
            dir_.filePath("help/window.html").toStdString());
  EXPECT_EQ(HelpWindow->windowTitle().toStdString(), "Zimro ヘルプ - 画面の使い方");
  EXPECT_TRUE(back->isEnabled());

  QToolButton* contents = ToolButton(QStringLiteral("目次"));
  ASSERT_NE(contents, nullptr);
  QTest::mouseClick(contents, Qt::LeftButton);
  EXPECT_EQ(browser->source().toLocalFile().toStdString(),
            dir_.filePath("help/index.html").toStdString());
}

TEST_F(HelpWindowTest, ASecondF1ReusesTheWindowAtTheContents) {
  PutHelpBesideTheProgram();
  ShowHelpContents();
  THelpWindow* first = HelpWindow;
  ASSERT_NE(first, nullptr);
  first->Browser()->setSource(QUrl::fromLocalFile(dir_.filePath("help/errors.html")));
  first->hide();
  QTest::keyClick(form_->MemoOut, Qt::Key_F1);
  EXPECT_EQ(HelpWindow, first);
  ExpectContentsShown();
}

TEST_F(HelpWindowTest, AMissingHelpFileShowsAMessage) {
  QTest::keyClick(form_->MemoOut, Qt::Key_F1);
  EXPECT_TRUE(HelpWindow == nullptr || !HelpWindow->isVisible());
  ASSERT_EQ(boxes_.dialogs.size(), 1u);
  EXPECT_EQ(boxes_.dialogs[0],
            "ヘルプファイルが見つかりません。\n" + dir_.filePath("help/index.html").toStdString());
  // The calculator goes on.
  Run("PRINT 1 + 2");
  EXPECT_EQ(Display(), "3");
}

}  // namespace

namespace {

// Whether a glyph's outline is a backslash: ink near its top-left and
// bottom-right corners and none near the other two (a yen sign has arms at
// both top corners).
bool LooksLikeABackslash(const QRawFont& font, quint32 glyph) {
  const QPainterPath path = font.pathForGlyph(glyph);
  const QRectF box = path.boundingRect();
  auto at = [&](qreal fx, qreal fy) {
    return path.contains(QPointF(box.left() + fx * box.width(), box.top() + fy * box.height()));
  };
  return at(0.15, 0.15) && at(0.85, 0.85) && !at(0.85, 0.15) && !at(0.15, 0.85);
}

}  // namespace

// Every backslash on every page of the help, wherever it stands (in a code
// example or inline among Japanese text), is drawn as a backslash in a
// fixed-pitch face, not as the yen sign of a Japanese face. A picture of one
// page is kept beside the build for a look.
TEST_F(HelpWindowTest, EveryBackslashIsDrawnAsABackslashInAFixedPitchFace) {
  PutHelpBesideTheProgram();
  ShowHelpContents();
  ASSERT_NE(HelpWindow, nullptr);
  HelpWindow->resize(640, 600);
  QTextBrowser* browser = HelpWindow->Browser();
  int backslashes = 0;
  for (const char* page : {"index.html", "window.html", "edit.html", "language.html",
                           "keywords.html", "errors.html", "host.html"}) {
    browser->setSource(QUrl::fromLocalFile(dir_.filePath("help/") + page));
    if (std::string(page) == "language.html") {
      browser->scrollToAnchor(QStringLiteral("literals"));
      HelpWindow->grab().save(QCoreApplication::applicationDirPath() + "/../helpcode.png");
    }
    QTextDocument* document = browser->document();
    document->documentLayout()->documentSize();
    HelpWindow->grab();  // lays every block out
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
      const QString text = block.text();
      for (int i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') continue;
        ++backslashes;
        const std::string where = std::string(page) + ": " + text.left(60).toStdString();
        QTextCursor at(block);
        at.setPosition(block.position() + i + 1);
        EXPECT_TRUE(QFontInfo(at.charFormat().font()).fixedPitch()) << where;
        const QTextLine line = block.layout()->lineForTextPosition(i);
        ASSERT_TRUE(line.isValid()) << where;
        const QList<QGlyphRun> runs = line.glyphRuns(i, 1);
        ASSERT_EQ(runs.size(), 1) << where;
        ASSERT_EQ(runs[0].glyphIndexes().size(), 1) << where;
        EXPECT_TRUE(LooksLikeABackslash(runs[0].rawFont(), runs[0].glyphIndexes()[0]))
            << where << " (" << runs[0].rawFont().familyName().toStdString() << ")";
      }
    }
  }
  EXPECT_GT(backslashes, 20);
}
