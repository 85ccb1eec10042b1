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

#include <algorithm>
#include <map>

#include "calculator/forms/helpwindow.h"
#include "support.h"
#include "tests/help/helpdoc.h"

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

// Esc closes the help, whatever has the keyboard in it, and the keyboard
// goes back to the calculator.
TEST_F(HelpWindowTest, EscapeClosesTheHelpAndTheCalculatorHasTheKeyboard) {
  PutHelpBesideTheProgram();
  for (bool onALink : {false, true}) {
    QTest::keyClick(form_->MemoOut, Qt::Key_F1);
    ASSERT_NE(HelpWindow, nullptr);
    QTRY_VERIFY(HelpWindow->isActiveWindow());
    QTextBrowser* browser = HelpWindow->Browser();
    browser->setFocus();
    if (onALink) QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Escape);
    EXPECT_FALSE(HelpWindow->isVisible());
    QTRY_VERIFY(form_->isActiveWindow());
  }
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

// One line's part of a piece of text: where the document lays it out.
struct Segment {
  QRectF box;      // in the document's coordinates
  int glyphs = 0;  // characters in it that are not blanks
};

// A piece of a page's text as the help window has it: found in the
// document after the piece before it, and the lines it is laid out on.
struct PlacedPiece {
  HelpTextPiece piece;
  QTextCursor found;  // null when the document lacks the text
  std::vector<Segment> segments;
  bool laidOut = true;  // every character stands on a line
};

constexpr qreal kWidestPart = 400;

std::vector<PlacedPiece> PlacePieces(QTextDocument* document, const std::string& page) {
  std::vector<PlacedPiece> placed;
  QTextCursor from(document);
  for (const HelpTextPiece& piece : HelpTextPieces(page)) {
    PlacedPiece p{piece, {}, {}, true};
    const QString text = QString::fromStdString(piece.text);
    p.found = document->find(text, from, QTextDocument::FindCaseSensitively);
    if (!p.found.isNull()) {
      from = p.found;
      const int start = p.found.selectionStart();
      const int end = p.found.selectionEnd();
      const QTextBlock block = document->findBlock(start);
      const QPointF origin = document->documentLayout()->blockBoundingRect(block).topLeft();
      const QTextLayout* layout = block.layout();
      const int s = start - block.position();
      const int e = end - block.position();
      for (int i = s; i < e; ++i)
        if (!layout->lineForTextPosition(i).isValid()) p.laidOut = false;
      for (int n = 0; n < layout->lineCount(); ++n) {
        const QTextLine line = layout->lineAt(n);
        const int a = std::max(s, line.textStart());
        const int b = std::min(e, line.textStart() + line.textLength());
        if (a >= b) continue;
        // In parts narrower than the window, so that each can be seen whole.
        for (int i = a; i < b;) {
          const qreal x1 = line.cursorToX(i);
          Segment segment;
          int j = i;
          while (j < b && (j == i || std::abs(line.cursorToX(j + 1) - x1) <= kWidestPart)) {
            segment.glyphs += block.text()[j].isSpace() ? 0 : 1;
            ++j;
          }
          const qreal x2 = line.cursorToX(j);
          segment.box = QRectF(origin.x() + std::min(x1, x2), origin.y() + line.y(),
                               std::abs(x2 - x1), line.height());
          p.segments.push_back(segment);
          i = j;
        }
      }
    }
    placed.push_back(p);
  }
  return placed;
}

// The help window's view of its page, scrolled to show a rectangle of the
// document and grabbed as the window draws it.
int grabs = 0;
class PageView {
 public:
  explicit PageView(QTextBrowser* browser) : browser_(browser) {}

  // The pixels of the document's rectangle as the window shows them; a null
  // image when it cannot be scrolled into view.
  QImage Pixels(const QRectF& box) {
    if (image_.isNull() || !Visible(box)) {
      Scroll(browser_->verticalScrollBar(), box.top(), box.bottom(),
             browser_->viewport()->height());
      Scroll(browser_->horizontalScrollBar(), box.left(), box.right(),
             browser_->viewport()->width());
      image_ = browser_->viewport()->grab().toImage(); ++grabs;
      if (!Visible(box)) return {};
    }
    const qreal ratio = image_.devicePixelRatio();
    const QRectF shown = box.translated(-Offset());
    const QRect pixels(QPoint(qRound(shown.left() * ratio), qRound(shown.top() * ratio)),
                       QPoint(qRound(shown.right() * ratio) - 1,
                              qRound(shown.bottom() * ratio) - 1));
    return image_.copy(pixels);
  }

 private:
  QPointF Offset() const {
    return QPointF(browser_->horizontalScrollBar()->value(),
                   browser_->verticalScrollBar()->value());
  }
  bool Visible(const QRectF& box) const {
    return QRectF(QPointF(0, 0), browser_->viewport()->size())
        .contains(box.translated(-Offset()));
  }
  static void Scroll(QScrollBar* bar, qreal low, qreal high, int extent) {
    if (low - bar->value() >= 0 && high - bar->value() <= extent) return;
    bar->setValue(static_cast<int>(low) - 8);
  }

  QTextBrowser* browser_;
  QImage image_;
};

// The colour most of the pixels have: what the text stands on.
QRgb Background(const QImage& image) {
  std::map<QRgb, int> count;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ++count[image.pixel(x, y) & 0xffffff];
  return std::max_element(count.begin(), count.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

int PixelsUnlike(const QImage& image, QRgb background) {
  int ink = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ink += (image.pixel(x, y) & 0xffffff) != background;
  return ink;
}

std::string Where(const std::string& page, const HelpTextPiece& piece) {
  return page + ":" + std::to_string(piece.line) + ": " + piece.text;
}

bool Within(const HelpTextPiece& piece, const std::string& element) {
  return std::any_of(piece.elements.begin(), piece.elements.end(), [&](const std::string& e) {
    return e == element || e.starts_with(element + ".");
  });
}

// The pages, each opened in the help window as its link opens it.
class HelpPagesTest : public HelpWindowTest {
 protected:
  void SetUp() override {
    HelpWindowTest::SetUp();
    PutHelpBesideTheProgram();
    ShowHelpContents();
    ASSERT_NE(HelpWindow, nullptr);
    HelpWindow->resize(640, 600);
    pages_ = HelpPages();
    ASSERT_GE(pages_.size(), 7u) << HelpDir();
  }
  QTextBrowser* Open(const std::string& page) {
    QTextBrowser* browser = HelpWindow->Browser();
    browser->setSource(QUrl::fromLocalFile(dir_.filePath("help/" + QString::fromStdString(page))));
    // As the window's event loop goes on while a person looks: the page
    // drawn, then laid out to its end and the scroll bars told.
    QCoreApplication::processEvents();
    browser->document()->documentLayout()->documentSize();
    QCoreApplication::processEvents();
    return browser;
  }
  std::vector<std::string> pages_;
};

}  // namespace

// Every piece of text of every page is in the window's document, laid out on
// lines, and drawn: where the window shows it there are pixels other than
// those it stands on, at least one for each character that is not a blank.
TEST_F(HelpPagesTest, EveryPieceOfTextOfEveryPageIsLaidOutAndDrawn) {
  for (const std::string& page : pages_) {
    QTextBrowser* browser = Open(page);
    PageView view(browser);
    const std::vector<PlacedPiece> placed = PlacePieces(browser->document(), page);
    EXPECT_GT(placed.size(), 20u) << page; int segs=0; for (auto& p : placed) segs += p.segments.size(); std::printf("%s pieces %zu segs %d grabs %d\n", page.c_str(), placed.size(), segs, grabs);
    for (const PlacedPiece& p : placed) {
      const std::string where = Where(page, p.piece);
      if (p.found.isNull()) {
        ADD_FAILURE() << where << ": not in the window's document";
        continue;
      }
      EXPECT_TRUE(p.laidOut) << where << ": not laid out";
      EXPECT_FALSE(p.segments.empty()) << where << ": on no line";
      for (const Segment& segment : p.segments) {
        const QImage pixels = view.Pixels(segment.box);
        if (pixels.isNull()) {
          ADD_FAILURE() << where << ": cannot be scrolled into view (y " << segment.box.top()
                        << " of " << browser->document()->size().height() << ")";
          continue;
        }
        EXPECT_GE(PixelsUnlike(pixels, Background(pixels)), segment.glyphs)
            << where << ": not drawn";
      }
    }
  }
}

// The stylesheet is in force on every page: a program, what the display then
// shows, a message, a line of the display in a walkthrough, a code line,
// keys and names typed and table headings each stand on a background of
// their own, as the pages say, and everything else on the page's white;
// headings and inline code have their colours.
TEST_F(HelpPagesTest, TheStylesheetGivesEveryPieceOfTextOfEveryPageItsLook) {
  const std::pair<const char*, QRgb> backgrounds[] = {
      {"pre.example", 0xe4edf9},  // a program: blue
      {"pre.output", 0xf8f4d8},   // the display after it: yellow
      {"pre.message", 0xfbe2e2},  // a message: red
      {"pre.display", 0xf8f4d8},  // a walkthrough's display: yellow
      {"pre.code", 0xeeeeee},     // a code line: grey
      {"kbd", 0xe4edf9},          // typed: blue
      {"th", 0xe4eaf4},           // a table's heading: blue-grey
  };
  const std::pair<const char*, QRgb> colours[] = {
      {"h1", 0x004e98}, {"h2", 0x004e98}, {"h3", 0x1a1a1a}, {"code", 0x00306a}, {"kbd", 0x00306a}};
  std::map<std::string, int> seen;
  for (const std::string& page : pages_) {
    QTextBrowser* browser = Open(page);
    PageView view(browser);
    for (const PlacedPiece& p : PlacePieces(browser->document(), page)) {
      if (p.found.isNull() || p.segments.empty()) continue;  // the test above says so
      const std::string where = Where(page, p.piece);
      QRgb background = 0xffffff;
      std::string kind = "page";
      for (const auto& [element, colour] : backgrounds) {
        if (Within(p.piece, element)) {
          background = colour;
          kind = element;
        }
      }
      ++seen[kind];
      for (const Segment& segment : p.segments) {
        const QImage pixels = view.Pixels(segment.box);
        if (pixels.isNull()) continue;
        EXPECT_EQ(Css(Background(pixels)), Css(background)) << where;
      }
      // Links keep their own colour.
      if (Within(p.piece, "a")) continue;
      for (const auto& [element, colour] : colours) {
        if (!Within(p.piece, element)) continue;
        QTextCursor at(p.found);
        at.setPosition(p.found.selectionStart() + 1);
        EXPECT_EQ(Css(at.charFormat().foreground().color().rgb()), Css(colour))
            << where << " (" << element << ")";
        ++seen[element];
      }
    }
  }
  for (const char* kind : {"page", "pre.example", "pre.output", "pre.message", "pre.display",
                           "pre.code", "kbd", "th", "h1", "h2", "h3", "code"})
    EXPECT_GT(seen[kind], 0) << kind;
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

// The contents list shows its entries line under line, with no blank line
// between them: neither before a group of entries nor before its first one.
TEST_F(HelpPagesTest, TheContentsListHasNoBlankLine) {
  QTextBrowser* browser = Open("index.html");
  std::vector<QRectF> entries;
  for (const PlacedPiece& p : PlacePieces(browser->document(), "index.html")) {
    if (!Within(p.piece, "li") || Within(p.piece, "ol")) continue;
    ASSERT_FALSE(p.segments.empty()) << p.piece.text;
    entries.push_back(p.segments.front().box);
  }
  ASSERT_GT(entries.size(), 40u);
  for (size_t i = 1; i < entries.size(); ++i) {
    EXPECT_LE(entries[i].top() - entries[i - 1].top(),
              std::max(entries[i].height(), entries[i - 1].height()) + 1)
        << "before entry " << i;
  }
}
