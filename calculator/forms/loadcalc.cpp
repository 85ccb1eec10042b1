// loadcalc: the form side of the calculator file.
#include "loadcalc.h"

#include <string>

#include "calculator/errors.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "formcalc.h"
#include "platform/dialogs.h"
#include "runs.h"
#include "wbtn.h"

namespace {

std::u16string PathText(const wvar& path) {
  wvar copy(path);
  return copy.AsString();
}

void ShowTitle(const std::u16string& path) {
  const std::u16string title = CalcFileTitle(path);
  FormCalc->LabelCaption->setText(
      QString::fromUtf16(title.data(), static_cast<qsizetype>(title.size())));
  FormCalc->LabelCaption->adjustSize();
}

}  // namespace

void ReportButtonTooLarge() { MessageDlg(kButtonTooLargeText, mtWarning, mbOK, 0); }

void ReportRefusedFile(const CalcFileRead& read) {
  if (read.status == CalcFileStatus::kUnreadable) throw EFOpenError(read.error);
  MessageDlg(RefusalText(read), mtWarning, mbOK, 0);
}

void ShowCalcFile(const std::u16string& path, const CalcWindowPos& pos) {
  // The screen at the file's place sizes the window; the sized window is
  // then placed again, so that it lies on that screen.
  PlaceForm(pos.left, pos.top);
  ArrangeForm();
  PlaceForm(pos.left, pos.top);
  RefreshButtons();
  ShowTitle(path);
  ApplyStayOnTop();
  if (FormCalc->IsActive()) {
    Setting->autoPending = 0;
    RunAutoProgram();
  } else {
    Setting->autoPending = 1;
  }
}

bool LoadCalcFile(const wvar& path, bool makeCurrent, IfMissing missing) {
  CalcWindowPos pos;
  const CalcFileRead read = ReadCalcFile(PathText(path), *Setting, *ButtonTable, pos, missing);
  if (!read.loaded) {
    if (read.status != CalcFileStatus::kMissing) ReportRefusedFile(read);
    return false;
  }
  if (makeCurrent) Setting->currentPath = read.path.c_str();
  ShowCalcFile(read.path, pos);
  return true;
}

bool OpenCalcFile(const wvar& path, IfMissing missing) {
  return LoadCalcFile(path, true, missing);
}

void SaveCalcFile(const wvar& path) {
  const std::u16string file = PathText(path);
  if (file.empty()) return;
  CalcWindowPos pos;
  pos.top = FormCalc->y();
  pos.left = FormCalc->x();
  WriteCalcFile(file, *Setting, *ButtonTable, pos);
  ShowTitle(file);
}
