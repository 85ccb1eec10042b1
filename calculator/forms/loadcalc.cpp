// loadcalc: the form side of the calculator file.
#include "loadcalc.h"

#include <string>

#include "calculator/calcfile.h"
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

void LoadCalcFile(const wvar& path) {
  const std::u16string file = PathText(path);
  CalcWindowPos pos;
  ReadCalcFile(file, *Setting, *ButtonTable, pos);
  // The screen at the file's place sizes the window; the sized window is
  // then placed again, so that it lies on that screen.
  PlaceForm(pos.left, pos.top);
  ArrangeForm();
  PlaceForm(pos.left, pos.top);
  RefreshButtons();
  ShowTitle(file);
  ApplyStayOnTop();
  if (FormCalc->IsActive()) {
    Setting->autoPending = 0;
    RunAutoProgram();
  } else {
    Setting->autoPending = 1;
  }
}

void SaveCalcFile(const wvar& path) {
  const std::u16string file = PathText(path);
  CalcWindowPos pos;
  pos.top = FormCalc->y();
  pos.left = FormCalc->x();
  WriteCalcFile(file, *Setting, *ButtonTable, pos);
  ShowTitle(file);
}

void WarnNotCalcFile(const std::u16string& path) {
  MessageDlg(u"電卓ファイルではないため開きません。\n" + path, mtWarning, mbOK, 0);
}

bool OpenCalcFile(const wvar& path) {
  const std::u16string file = PathText(path);
  if (!IsCalcFile(file)) {
    WarnNotCalcFile(file);
    return false;
  }
  Setting->currentPath = path;
  LoadCalcFile(path);
  return true;
}
