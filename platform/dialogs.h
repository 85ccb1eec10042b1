// dialogs: message boxes. The texts are 8-bit in the ANSI code page (CP932).
#pragma once

#include <string>

#include "platform/api.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

extern "C" {
PLATFORM_API int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
}

// The class library's message dialog: a text, a kind (its icon) and a set of
// buttons; the answer is the pressed button's modal result.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

using TMsgDlgButtons = UINT;
constexpr TMsgDlgButtons mbYes = 0x01;
constexpr TMsgDlgButtons mbNo = 0x02;
constexpr TMsgDlgButtons mbOK = 0x04;
constexpr TMsgDlgButtons mbCancel = 0x08;
constexpr TMsgDlgButtons mbAbort = 0x10;
constexpr TMsgDlgButtons mbRetry = 0x20;
constexpr TMsgDlgButtons mbIgnore = 0x40;

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// The buttons appear in the order Yes, No, OK, Cancel, Abort, Retry, Ignore.
// A dialog closed without a button (Escape with no Cancel or No button, the
// close box) answers mrCancel. `helpContext` is accepted and unused.
PLATFORM_API int MessageDlg(const std::u16string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                            int helpContext);

namespace platform {
// The headless default writes "caption: text" and a line feed to standard
// error and answers with the box's first button.
class PLATFORM_API MessageBoxBackend {
public:
  virtual ~MessageBoxBackend();
  virtual int Show(HWND owner, const std::u16string& text, const std::u16string& caption,
                   UINT type);
  // Headless: "text" and a line feed to standard error; the answer is the
  // first button's modal result (mrCancel when there is none).
  virtual int Dialog(const std::u16string& text, TMsgDlgType type, TMsgDlgButtons buttons);
};
// Null restores the headless default.
PLATFORM_API void SetMessageBoxBackend(MessageBoxBackend* backend);
// The modal result of the first button of the set in dialog order.
PLATFORM_API int FirstDialogAnswer(TMsgDlgButtons buttons);
}  // namespace platform
