// TMemo: the display. A multi-line text whose text and caret positions count
// every line end as CR LF, as scripts and the display-line routines expect,
// while the widget itself keeps one paragraph per line.
#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <string>

#include "calculator/display.h"

class TMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TMemo(QWidget* parent = nullptr);

  // The whole text, lines ending in CR LF.
  std::u16string Text() const;
  // Replaces the whole text; CR LF, a lone LF and a lone CR each end a line.
  void SetText(const std::u16string& text);

  // Caret and selection in units of Text().
  int SelStart() const;
  int SelLength() const;
  void SetSel(int start, int length);
  // Replaces the selection (or inserts at the caret) and leaves the caret
  // behind the new text.
  void SetSelText(const std::u16string& text);
  // The line at the caret with its line end, as ReadCurrentLine gives it
  // for Text(); reads that line only.
  std::u16string CurrentLine() const;
  // AdvanceDisplayLine on the display; touches the caret's line and the
  // next one only.
  void AdvanceLine();

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  int ToUnits(int position) const;
  int FromUnits(int units) const;
  // Brings the text from widget position `start` on, whose units are
  // `before`, to `after` by replacing only the part that differs, then
  // selects as `after` says, counted from `start`.
  void ApplyWindow(int start, const std::u16string& before, const DisplayState& after);
  // Wraps anywhere when a changed line is too long to wrap at words
  // cheaply; true when the mode changed.
  bool WrapFor(int longestChanged, bool everyLine);
  void FollowCaret();
  void Refresh();

  QTimer* refresh_ = nullptr;
  qint64 refreshCostNs_ = 0;  // what the last refresh took
  QElapsedTimer printed_;     // since the last piece printed
};
