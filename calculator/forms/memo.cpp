// TMemo: the display with CR LF line ends.
#include "memo.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

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
  // Scripts may print for hours; an undo history would keep all of it.
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
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
  setPlainText(WidgetForm(text));
  moveCursor(QTextCursor::Start);
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
  QTextCursor c = textCursor();
  c.insertText(WidgetForm(text));
  setTextCursor(c);
}

void TMemo::ApplyState(const std::u16string& before, const DisplayState& after) {
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
    SetText(next);
  } else {
    SetSel(static_cast<int>(p), static_cast<int>(before.size() - s - p));
    SetSelText(next.substr(p, next.size() - s - p));
  }
  SetSel(after.selStart, after.selLength);
}
