// TMemo: the display. A multi-line text whose text and caret positions count
// every line end as CR LF, as scripts and the display-line routines expect,
// while the widget itself keeps one paragraph per line.
#pragma once

#include <QPlainTextEdit>
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
  // Brings the display from `before` (its present Text()) to `after` by
  // replacing only the part that differs, then selects as `after` says.
  void ApplyState(const std::u16string& before, const DisplayState& after);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  int ToUnits(int position) const;
  int FromUnits(int units) const;
};
