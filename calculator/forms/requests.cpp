// wbexe (requests): serving the library's requests in the main window.
#include <string>

#include "calculator/display.h"
#include "formcalc.h"
#include "forminput.h"
#include "wbexecalc.h"
#include "memo.h"
#include "platform/dialogs.h"
#include "platform/text.h"
#include "runs.h"

namespace {

// The question that both dialogs' abort choice asks before it stops the run.
int ConfirmStop(HWND owner) {
  const std::string text = platform::ToAnsi(u"プログラムを終了しますか？ ");
  return MessageBoxA(owner, text.c_str(), "WB", MB_ICONWARNING | MB_OKCANCEL);
}

}  // namespace

int32_t wbexecalc::HandleRequest() {
  const int32_t code = request[0].AsInt();
  if (code == rqStep) {
    FormCalc->ProcessMessagesThrottled();
    RenewStop();
  } else if (code == rqPrint) {
    PrintText(FormCalc->MemoOut, request[1]);
  } else if (code == rqControl) {
    ControlRequest();
  } else if (code == rqMessage) {
    AskYesNo(request[1]);
  } else if (code == rqInput) {
    InputText(request[1]);
  } else if (code == rqCommand) {
    Command(request[1].AsInt());
  } else if (code == rqEnd) {
    RunFinished();
  }
  return 0;
}

int32_t wbexecalc::PrintText(TMemo* display, wcell& cell) {
  for (const PrintStep& step : PrintSteps(cell.AsString())) {
    if (step.clear) {
      PrintEscape(display, u"*");
    } else {
      display->SetSelText(step.piece);
    }
  }
  return 0;
}

int32_t wbexecalc::PrintEscape(TMemo* display, const char16_t* text) {
  if (text[0] != u'*') return 0;
  display->SetText(u"");
  return 1;
}

int32_t wbexecalc::AskYesNo(wcell& cell) {
  int r = MessageDlg(cell.AsString(), mtCustom, mbYes | mbNo | mbAbort, 0);
  if (r == mrAbort && errorCode == erNone) {
    r = ConfirmStop(hostWindow);
    if (r == IDOK) RequestStop(erStop);
  }
  request[0].value = static_cast<int32_t>(r == mrYes || r == mrAbort ? 1 : 0);
  return 0;
}

int32_t wbexecalc::InputText(wcell& cell) {
  for (;;) {
    FormInput->setWindowTitle(QStringLiteral("INPUT"));
    FormInput->LabelMessage->setText(QString::fromUtf16(cell.AsString()));
    FormInput->LabelMessage->adjustSize();
    FormInput->EditInput->setText(QString());
    const int r = FormInput->ShowModal();
    if (r == mrOk) {
      const QString answer = FormInput->EditInput->text();
      request[0].value = reinterpret_cast<const char16_t*>(answer.utf16());
      return 0;
    }
    if (r == mrAbort && ConfirmStop(hostWindow) == IDOK) RequestStop(erStop);
    // A stop or a close request that came while the dialog was up (the end
    // of the session closes it) ends the question too.
    if (StopHeld()) {
      request[0].value = u"";
      return 0;
    }
  }
}

int32_t wbexecalc::RunFinished() { return 0; }

int32_t wbexecalc::ControlRequest() {
  if (request[1].AsInt() == ccReset) RunPrelude();
  return 0;
}
