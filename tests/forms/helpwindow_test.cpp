// The help window: F1 and the help menu open it at the contents page of the
// help beside the program; a missing help document shows a message instead.
#include <QFontInfo>
#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QScrollBar>
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

// A colour as the stylesheet writes it, for readable failures.
std::string Css(QRgb rgb) { return QColor(rgb).name().toStdString(); }

// The block of the page whose text begins with `start`; invalid if none.
QTextBlock BlockStarting(QTextDocument* document, const QString& start) {
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
    if (block.text().startsWith(start)) return block;
  return {};
}

}  // namespace

// The pages' stylesheet is in force in the window: a program, what the
// display then shows, a message, a line of the display in a walkthrough and
// a plain code line each stand on a background of their own, as the pages
// say; headings and inline code have their colours.
TEST_F(HelpWindowTest, TheStylesheetGivesEachKindOfBlockItsLook) {
  PutHelpBesideTheProgram();
  ShowHelpContents();
  ASSERT_NE(HelpWindow, nullptr);
  HelpWindow->resize(640, 600);
  QTextBrowser* browser = HelpWindow->Browser();
  struct Case {
    const char* page;
    const char* start;  // the block's text begins with this
    QRgb background;    // what the page shows right of the block's text
  };
  const Case cases[] = {
      {"language.html", "' 円の面積", 0xe4edf9},            // a program: blue
      {"language.html", "12.56636", 0xf8f4d8},              // the display after it: yellow
      {"errors.html", " 1 Y: undefined error", 0xfbe2e2},   // a message: red
      {"errors.html", "サブの名前 行番号", 0xeeeeee},       // a code line: grey
      {"window.html", "2+3*4", 0xf8f4d8},                   // a walkthrough's display: yellow
      {"window.html", "画面の各部", 0xffffff},              // a heading: the page's white
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.page) + ": " + c.start);
    browser->setSource(QUrl::fromLocalFile(dir_.filePath("help/") + c.page));
    QTextDocument* document = browser->document();
    const QTextBlock block = BlockStarting(document, QString::fromUtf8(c.start));
    ASSERT_TRUE(block.isValid());
    HelpWindow->grab();  // lays the page out
    const QRectF box = document->documentLayout()->blockBoundingRect(block);
    browser->verticalScrollBar()->setValue(static_cast<int>(box.top()) - 20);
    const int scrolled = browser->verticalScrollBar()->value();
    const QImage page = browser->viewport()->grab().toImage();
    const qreal ratio = page.devicePixelRatio();
    // Beyond the end of the text's first line, halfway down it.
    const QTextLine line = block.layout()->lineAt(0);
    const QPointF at(box.left() + line.naturalTextWidth() + 40,
                     box.top() + line.y() + line.height() / 2 - scrolled);
    ASSERT_LT(at.x(), box.right());
    EXPECT_EQ(Css(page.pixel((at * ratio).toPoint())), Css(c.background));
  }

  // Headings blue, inline code dark blue: the colours the text is drawn in.
  browser->setSource(QUrl::fromLocalFile(dir_.filePath("help/window.html")));
  QTextDocument* document = browser->document();
  const QTextBlock heading = BlockStarting(document, QStringLiteral("画面の各部"));
  ASSERT_TRUE(heading.isValid());
  EXPECT_EQ(Css(QTextCursor(heading).charFormat().foreground().color().rgb()), Css(0x004e98));
  const QTextBlock prose = BlockStarting(document, QStringLiteral("プログラムが EXECLINE"));
  ASSERT_TRUE(prose.isValid());
  QTextCursor code(prose);
  code.setPosition(prose.position() + QStringLiteral("プログラムが E").size());
  EXPECT_EQ(Css(code.charFormat().foreground().color().rgb()), Css(0x00306a));
}

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
