// The help window: F1 and the help menu open it at the contents page of the
// help beside the program; a missing help document shows a message instead.
#include <QTest>
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
