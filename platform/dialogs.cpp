// dialogs: message boxes through the installed back end.
#include "platform/dialogs.h"

#include <cstdio>
#include <utility>

#include "platform/text.h"

namespace platform {
namespace {

MessageBoxBackend& DefaultBackend() {
  static MessageBoxBackend headless;
  return headless;
}

MessageBoxBackend* installed = nullptr;

MessageBoxBackend& Backend() { return installed != nullptr ? *installed : DefaultBackend(); }

}  // namespace

MessageBoxBackend::~MessageBoxBackend() = default;

int MessageBoxBackend::Show(HWND, const std::u16string& text, const std::u16string& caption,
                            UINT type) {
  const std::string line = ToUtf8(caption) + ": " + ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  switch (type & 0x0F) {
    case MB_YESNOCANCEL:
    case MB_YESNO:
      return IDYES;
    default:
      return IDOK;
  }
}

int MessageBoxBackend::Dialog(const std::u16string& text, TMsgDlgType, TMsgDlgButtons buttons) {
  const std::string line = ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  return FirstDialogAnswer(buttons);
}

int FirstDialogAnswer(TMsgDlgButtons buttons) {
  static const std::pair<TMsgDlgButtons, int> order[] = {
      {mbYes, mrYes},     {mbNo, mrNo},       {mbOK, mrOk},         {mbCancel, mrCancel},
      {mbAbort, mrAbort}, {mbRetry, mrRetry}, {mbIgnore, mrIgnore},
  };
  for (const auto& [button, result] : order)
    if (buttons & button) return result;
  return mrCancel;
}

void SetMessageBoxBackend(MessageBoxBackend* backend) { installed = backend; }

}  // namespace platform

extern "C" {

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  const std::u16string wideText = platform::FromAnsi(text != nullptr ? text : "");
  const std::u16string wideCaption = platform::FromAnsi(caption != nullptr ? caption : "");
  return platform::Backend().Show(owner, wideText, wideCaption, type);
}

}  // extern "C"

int MessageDlg(const std::u16string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  return platform::Backend().Dialog(text, type, buttons);
}
