// A line without a break, however it enters the display (printed, typed,
// pasted through the clipboard, dropped), is shown in rows that fit the
// display, and takes a fraction of a second, into a display just started as
// into one cleared with Insert.
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <functional>

#include "support.h"

namespace {

// The sanitizer build runs several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kSlowdown = 4;
#else
constexpr qint64 kSlowdown = 1;
#endif

// Tells a window that answers from one that lays such a line out row by row
// at word breaks (tens of seconds), with room for a loaded machine; what
// each takes, make bench measures (displaybench).
constexpr qint64 kMostMs = 10000 * kSlowdown;

std::string Digits(int units) {
  std::string line(static_cast<size_t>(units), '0');
  for (int k = 0; k < units; ++k) line[static_cast<size_t>(k)] = static_cast<char>('0' + k % 10);
  return line;
}

enum class Way { Print, Type, Paste, Drop };

struct LongLineCase {
  const char* name;
  Way way;
  bool cleared;  // the display held text and was cleared with Insert first
  int units;
};

void PrintTo(const LongLineCase& c, std::ostream* os) { *os << c.name; }

// The display as the user sees it once the window has caught up.
class DisplayRowsTest : public CalcWindowTest {
 protected:
  TMemo* memo() const { return form_->MemoOut; }

  // Handles what is pending and paints the display, as the window does
  // before it answers the next input.
  void Settle() {
    QCoreApplication::processEvents();
    while (!memo()->viewport()->updatesEnabled()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    memo()->viewport()->repaint();
    QCoreApplication::processEvents();
  }

  // The rows of the first line, as painted.
  const QTextLayout& Rows() const { return *memo()->document()->firstBlock().layout(); }
};

class LongLineTest : public DisplayRowsTest, public testing::WithParamInterface<LongLineCase> {
 protected:
  // Puts `line` into the display the way the case says; the display's text
  // afterwards.
  std::string Enter(Way way, const std::string& line) {
    switch (way) {
      case Way::Print:
        // In pieces of ten, as a script prints.
        Run("DIM i\r\nFOR i = 1 TO " + std::to_string(line.size() / 10) +
            " { PRINT \"0123456789\" }");
        return line;
      case Way::Type: {
        // One unit short of the line, then the last unit typed.
        SetDisplay(line.substr(0, line.size() - 1), static_cast<int>(line.size()) - 1);
        Settle();
        QTest::keyClick(memo(), line.back());
        return line;
      }
      case Way::Paste:
        QGuiApplication::clipboard()->setText(QString::fromStdString(line));
        QTest::keyClick(memo(), Qt::Key_V, Qt::ControlModifier);
        return line;
      case Way::Drop: {
        // Dragged in from elsewhere: it enters, moves, and is let go.
        QMimeData mime;
        mime.setText(QString::fromStdString(line));
        const QPoint at = memo()->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo()->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo()->viewport(), &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo()->viewport(), &drop);
        return line;
      }
    }
    return {};
  }
};

TEST_P(LongLineTest, ShowsInRowsThatFitTheDisplayAtOnce) {
  const LongLineCase& c = GetParam();
  if (c.cleared) {
    SetDisplay("earlier text\r\nof two lines", 0);
    QTest::keyClick(memo(), Qt::Key_Insert);
    ASSERT_EQ(Display(), "");
  }
  Settle();
  const std::string line = Digits(c.units);

  QElapsedTimer t;
  t.start();
  const std::string expected = Enter(c.way, line);
  Settle();
  const qint64 ms = t.elapsed();

  const std::string shown = Display();
  EXPECT_TRUE(shown == expected) << "the display holds " << shown.size() << " units of "
                                 << expected.size();
  EXPECT_LT(ms, kMostMs) << "from the input to the line painted";

  // The line's rows, as painted: together the whole line, each within the
  // display's width, and nothing to scroll sideways.
  const QTextLayout& rows = Rows();
  const qreal width = memo()->viewport()->width();
  int units = 0, wider = 0;
  for (int r = 0; r < rows.lineCount(); ++r) {
    units += rows.lineAt(r).textLength();
    wider += rows.lineAt(r).naturalTextWidth() > width;
  }
  EXPECT_EQ(units, c.units);
  EXPECT_EQ(wider, 0) << "of " << rows.lineCount() << " rows, wider than the display ("
                      << width << " pixels)";
  EXPECT_FALSE(memo()->horizontalScrollBar()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, LongLineTest,
    testing::Values(LongLineCase{"WordLongerThanARowTyped", Way::Type, true, 60},
                    LongLineCase{"Printed", Way::Print, false, 200'000},
                    LongLineCase{"TypedPastTheLimit", Way::Type, true, 10'001},
                    LongLineCase{"PastedAtStart", Way::Paste, false, 200'000},
                    LongLineCase{"PastedAfterInsert", Way::Paste, true, 1'000'000},
                    LongLineCase{"DroppedAtStart", Way::Drop, false, 200'000},
                    LongLineCase{"DroppedAfterInsert", Way::Drop, true, 1'000'000}),
    [](const testing::TestParamInfo<LongLineCase>& c) { return std::string(c.param.name); });

// Once the long line has gone, text wraps at its blanks again.
TEST_F(DisplayRowsTest, ClearedDisplayWrapsAtBlanksAgain) {
  QGuiApplication::clipboard()->setText(QString(20'000, QChar(u'x')));
  QTest::keyClick(memo(), Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(memo(), Qt::Key_Insert);
  Run("PRINT \"alpha beta gamma delta epsilon zeta eta theta iota kappa\"");
  Settle();
  const QTextLayout& rows = Rows();
  const QString text = memo()->document()->firstBlock().text();
  ASSERT_GT(rows.lineCount(), 1);
  for (int r = 0; r + 1 < rows.lineCount(); ++r) {
    const QTextLine row = rows.lineAt(r);
    EXPECT_EQ(text.at(row.textStart() + row.textLength() - 1), QChar(u' '))
        << "row " << r << " ends inside a word";
  }
}

// Words of nine letters and a blank, cut to `units`.
QString Words(int units) {
  QString line;
  while (line.size() < units) line += QStringLiteral("abcdefghi ");
  line.truncate(units);
  return line;
}

// Whether every row of the line but its last ends with a blank.
bool WrapsAtBlanks(const QTextBlock& line) {
  const QTextLayout& rows = *line.layout();
  const QString text = line.text();
  for (int r = 0; r + 1 < rows.lineCount(); ++r) {
    const QTextLine row = rows.lineAt(r);
    if (text.at(row.textStart() + row.textLength() - 1) != QChar(u' ')) return false;
  }
  return true;
}

// How a line of words wraps: at its blanks up to 10,000 units, anywhere
// beyond (laying a line out at its blanks costs the square of its length),
// however the text came in and whatever line changed last.
struct WrapCase {
  const char* name;
  std::function<void(TMemo*)> enter;
  int line;  // the line looked at
  bool atBlanks;
};

void PrintTo(const WrapCase& c, std::ostream* os) { *os << c.name; }

void Paste(TMemo* memo, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
}

class WrapTest : public DisplayRowsTest, public testing::WithParamInterface<WrapCase> {};

TEST_P(WrapTest, AtBlanksOnlyUpToTheLimit) {
  const WrapCase& c = GetParam();
  c.enter(memo());
  Settle();
  const QTextBlock line = memo()->document()->findBlockByNumber(c.line);
  ASSERT_GT(line.layout()->lineCount(), 100) << "rows of the line";
  EXPECT_EQ(WrapsAtBlanks(line), c.atBlanks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrapTest,
    testing::Values(
        WrapCase{"Pasted10000", [](TMemo* m) { Paste(m, Words(10'000)); }, 0, true},
        WrapCase{"Pasted10001", [](TMemo* m) { Paste(m, Words(10'001)); }, 0, false},
        WrapCase{"Typed10001st",
                 [](TMemo* m) {
                   m->SetText(Words(10'000).toStdU16String());
                   m->moveCursor(QTextCursor::End);
                   QTest::keyClick(m, Qt::Key_A);
                 },
                 0, false},
        // The long line is the paste's second.
        WrapCase{"PastedSecondOfTwoLines",
                 [](TMemo* m) { Paste(m, QStringLiteral("1+2\n") + Words(20'000)); }, 1, false}),
    [](const testing::TestParamInfo<WrapCase>& c) { return std::string(c.param.name); });

// Typing on another line after a long line was pasted lays none of the long
// line out again. These keys take a tenth of a second; laying the line out
// again at each of them took ten seconds.
constexpr qint64 kTypingMostMs = 4000 * kSlowdown;

TEST_F(DisplayRowsTest, TypingOnAnotherLineAfterALongPasteStaysQuick) {
  memo()->SetText(u"\r\n");
  const std::string line = Digits(1'000'000);
  Paste(memo(), QString::fromStdString(line));
  Settle();
  QTest::keyClick(memo(), Qt::Key_End, Qt::ControlModifier);
  Settle();
  std::string typed;
  while (typed.size() < 120) typed += "1+2+";
  QElapsedTimer t;
  t.start();
  QTest::keyClicks(memo(), QString::fromStdString(typed));
  Settle();
  EXPECT_LT(t.elapsed(), kTypingMostMs) << "for " << typed.size() << " keys";
  EXPECT_TRUE(Display() == line + "\r\n" + typed);
}

}  // namespace
