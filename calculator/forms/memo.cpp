// TMemo: the display with CR LF line ends.
#include "memo.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <malloc.h>

#include <algorithm>
#include <functional>

namespace {

// Lines longer than this wrap anywhere (see WrapFor) and keep what Qt
// measured of their characters (see DisplayLayout).
constexpr int kLongLineUnits = 10'000;
// A caret's line longer than this is painted only when printing pauses
// (see Refresh).
constexpr int kPaintWhenPausedUnits = 100'000;
// Texts this large leave the heap's freed pages behind when replaced.
constexpr size_t kLargeText = 1 << 20;

// Qt lays a line out again after every edit inside it, so printing a long
// line piece by piece would cost the line once per piece. Here such an edit
// only drops the line's layout, and the line is laid out when it is next
// painted or measured.
class DisplayLayout : public QPlainTextDocumentLayout {
 public:
  explicit DisplayLayout(QTextDocument* doc) : QPlainTextDocumentLayout(doc) {}

  void documentChanged(int from, int removed, int added) override {
    QTextDocument* doc = document();
    if (Measure(from, added)) return;
    QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::max(0, from + removed + added - 1));
    if (first.isValid() && first == last && doc->blockCount() == blocks_) {
      first.clearLayout();
      changed();
      return;
    }
    // Lines added or removed: the base layout keeps its count and drops the
    // layouts, but would lay out each changed line at once for the view.
    const bool wasBlocked = blockSignals(true);
    QPlainTextDocumentLayout::documentChanged(from, removed, added);
    blockSignals(wasBlocked);
    blocks_ = doc->blockCount();
    Q_EMIT documentSizeChanged(documentSize());
    changed();
  }

  // Asks the view for a paint; the layout's own update signal would have
  // the view lay the changed lines out at once.
  std::function<void()> changed = [] {};
  // Told the longest of the changed lines, and whether the change spans
  // every line; true when it changed how lines wrap.
  std::function<bool(int longest, bool everyLine)> measured = [](int, bool) { return false; };

 private:
  // However the text came in (printed, typed, pasted, dropped), its lines
  // are measured here before anything is laid out. A change of wrapping lays
  // out everything anew, this change included: true then.
  bool Measure(int from, int added) {
    const QTextDocument* doc = document();
    QTextBlock b = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(from + added);
    const bool everyLine =
        b == doc->firstBlock() && (!last.isValid() || last == doc->lastBlock());
    int longest = 0;
    for (; b.isValid(); b = b.next()) {
      const int units = b.length() - 1;
      longest = std::max(longest, units);
      // Drawing or moving the caret has Qt measure every character of the
      // caret's line again, unless the line keeps what it measured.
      if (units > kLongLineUnits) b.layout()->setCacheEnabled(true);
      if (b == last) break;
    }
    return measured(longest, everyLine);
  }

  int blocks_ = -1;  // the block count the base layout last saw
};

std::u16string BlockText(const QTextBlock& b) {
  const QString t = b.text();
  return std::u16string(reinterpret_cast<const char16_t*>(t.utf16()), static_cast<size_t>(t.size()));
}

// The widget's form of a text: one '\n' per line end.
QString WidgetForm(const std::u16string& text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out.append(QChar(u'\n'));
    } else {
      out.append(QChar(c));
    }
  }
  return out;
}

}  // namespace

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {
  auto* doc = new QTextDocument(this);
  auto* layout = new DisplayLayout(doc);
  layout->changed = [this] { viewport()->update(); };
  layout->measured = [this](int longest, bool everyLine) { return WrapFor(longest, everyLine); };
  doc->setDocumentLayout(layout);
  setDocument(doc);
  refresh_ = new QTimer(this);
  refresh_->setSingleShot(true);
  connect(refresh_, &QTimer::timeout, this, &TMemo::Refresh);
  for (QObject* child : children()) {
    if (child->inherits("QWidgetTextControl")) child->installEventFilter(this);
  }
  // Scripts may print for hours; an undo history would keep all of it.
  setUndoRedoEnabled(false);
  // Lines wrap at the display's width: at blanks, and a word longer than a
  // row where the row ends. No row is ever wider than the display, so
  // nothing scrolls sideways.
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(true);
}

std::u16string TMemo::Text() const {
  std::u16string out;
  const QTextDocument* doc = document();
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    if (b != doc->begin()) out.append(u"\r\n");
    const QString t = b.text();
    out.append(reinterpret_cast<const char16_t*>(t.utf16()), static_cast<size_t>(t.size()));
  }
  return out;
}

void TMemo::SetText(const std::u16string& text) {
  const bool wasLarge = static_cast<size_t>(document()->characterCount()) > kLargeText;
  setPlainText(WidgetForm(text));
  refreshCostNs_ = 0;
  moveCursor(QTextCursor::Start);
  // A cleared display gives the memory of a large text back to the system.
  if (wasLarge) malloc_trim(0);
}

// Every change of the text comes here before it is laid out. Wrapping at
// blanks looks for one along the rest of the line for each row it makes, so
// a long line without a blank would cost the square of its length: a
// display holding a long line wraps anywhere. A change that spans every line
// (a new text, the display cleared or wholly replaced) decides afresh; any
// other only ever widens the rule. Changing the mode lays every line out
// again, which costs what one layout of the long line costs, once.
bool TMemo::WrapFor(int longestChanged, bool everyLine) {
  QTextOption::WrapMode mode = QTextOption::WrapAtWordBoundaryOrAnywhere;
  if (longestChanged > kLongLineUnits) {
    mode = QTextOption::WrapAnywhere;
  } else if (!everyLine) {
    return false;
  }
  if (wordWrapMode() == mode) return false;
  setWordWrapMode(mode);
  return true;
}

// Printing moves the caret piece by piece; the display scrolls to it and
// paints when the pieces of the moment are in, and no more often than keeps
// painting to a fifth of the time.
void TMemo::FollowCaret() {
  printed_.start();
  viewport()->setUpdatesEnabled(false);
  if (!refresh_->isActive()) refresh_->start(static_cast<int>(refreshCostNs_ * 4 / 1'000'000));
}

// Before a key press the display is asked whether it takes the key itself,
// and answering measures the top line, which lays out all of it. The keys
// the form acts on get their answer here: Enter is the display's, the rest
// are not.
bool TMemo::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      e->accept();
      return true;
    }
    if (key == Qt::Key_Pause || key == Qt::Key_Insert || key == Qt::Key_F1) return true;
  }
  return QPlainTextEdit::event(e);
}

// The caret's blink repaints the caret's line, laying out all of it; it
// waits while the display does.
bool TMemo::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Timer && refresh_->isActive() && watched != this) return true;
  return QPlainTextEdit::eventFilter(watched, e);
}

void TMemo::Refresh() {
  // Painting lays out every line it shows, a long line at the cost of its
  // whole length. Where that takes more than a glance, the display waits
  // until printing pauses, so that the run goes on and a key still reaches
  // the window at once.
  constexpr qint64 kSlowRefreshNs = 50'000'000;
  constexpr qint64 kPauseMs = 100;
  const bool slow =
      refreshCostNs_ > kSlowRefreshNs || textCursor().block().length() > kPaintWhenPausedUnits;
  if (slow && printed_.isValid() && printed_.elapsed() < kPauseMs) {
    refresh_->start(static_cast<int>(kPauseMs - printed_.elapsed()));
    return;
  }
  QElapsedTimer t;
  t.start();
  viewport()->setUpdatesEnabled(true);
  ensureCursorVisible();
  viewport()->repaint();
  refreshCostNs_ = t.nsecsElapsed();
}

// A widget position counts one unit per line end; the text's units count two.
int TMemo::ToUnits(int position) const {
  const QTextBlock b = document()->findBlock(position);
  return position + (b.isValid() ? b.blockNumber() : document()->blockCount() - 1);
}

int TMemo::FromUnits(int units) const {
  if (units <= 0) return 0;
  const QTextDocument* doc = document();
  // The block that holds the unit: its start in units is position + number.
  int lo = 0, hi = doc->blockCount() - 1;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    const QTextBlock b = doc->findBlockByNumber(mid);
    if (b.position() + mid <= units) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  const QTextBlock b = doc->findBlockByNumber(lo);
  const int offset = units - (b.position() + lo);
  // A unit between the CR and the LF of a line end counts as the line's end.
  return b.position() + std::min(offset, b.length() - 1);
}

// Qt moves the focus on Tab only when another widget takes it, and types a
// TAB otherwise; a display that does not want tabs never types one.
void TMemo::keyPressEvent(QKeyEvent* e) {
  const bool tab = e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab;
  if (tab && tabChangesFocus() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    e->ignore();
    return;
  }
  QPlainTextEdit::keyPressEvent(e);
}

int TMemo::SelStart() const { return ToUnits(textCursor().selectionStart()); }

int TMemo::SelLength() const {
  const QTextCursor c = textCursor();
  return ToUnits(c.selectionEnd()) - ToUnits(c.selectionStart());
}

void TMemo::SetSel(int start, int length) {
  QTextCursor c = textCursor();
  c.setPosition(FromUnits(start));
  if (length > 0) c.setPosition(FromUnits(start + length), QTextCursor::KeepAnchor);
  setTextCursor(c);
}

void TMemo::SetSelText(const std::u16string& text) {
  // The display's own cursor moves behind the text as it goes in.
  // In an edit block the cursor leaves its line's layout for later.
  QTextCursor c = textCursor();
  c.beginEditBlock();
  c.insertText(WidgetForm(text));
  c.endEditBlock();
  FollowCaret();
}

std::u16string TMemo::CurrentLine() const {
  const int pos = textCursor().selectionStart();
  const QTextBlock b = document()->findBlock(pos);
  std::u16string window = BlockText(b);
  if (b.next().isValid()) window += u"\r\n";
  return ReadCurrentLine(window, pos - b.position());
}

void TMemo::AdvanceLine() {
  const int pos = textCursor().selectionStart();
  const QTextBlock b = document()->findBlock(pos);
  // The caret's line and the next, each with its line end.
  std::u16string window = BlockText(b);
  const QTextBlock n = b.next();
  if (n.isValid()) {
    window += u"\r\n" + BlockText(n);
    if (n.next().isValid()) window += u"\r\n";
  }
  ApplyWindow(b.position(), window, AdvanceDisplayLine(window, pos - b.position()));
}

void TMemo::ApplyWindow(int start, const std::u16string& before, const DisplayState& after) {
  const std::u16string& next = after.text;
  const size_t shorter = std::min(before.size(), next.size());
  size_t p = 0;
  while (p < shorter && before[p] == next[p]) ++p;
  size_t s = 0;
  while (s < shorter - p && before[before.size() - 1 - s] == next[next.size() - 1 - s]) ++s;
  // Never split a CR LF: the widget keeps it as one line end.
  if (p > 0 && before[p - 1] == u'\r') --p;
  if (s > 0 && before[before.size() - s] == u'\n' && before.size() - s > 0 &&
      before[before.size() - s - 1] == u'\r') {
    --s;
  }
  if (before.size() - s < p || next.size() - s < p) {
    p = 0;
    s = 0;
  }
  QTextCursor c = textCursor();
  c.setPosition(start + ToWidgetPos(before, static_cast<int32_t>(p)));
  c.setPosition(start + ToWidgetPos(before, static_cast<int32_t>(before.size() - s)),
                QTextCursor::KeepAnchor);
  c.insertText(WidgetForm(next.substr(p, next.size() - s - p)));
  c.setPosition(start + ToWidgetPos(next, after.selStart));
  if (after.selLength > 0) {
    c.setPosition(start + ToWidgetPos(next, after.selStart + after.selLength),
                  QTextCursor::KeepAnchor);
  }
  setTextCursor(c);
}
