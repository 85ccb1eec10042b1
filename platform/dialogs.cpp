// dialogs: message boxes through the installed back end.
#include "platform/dialogs.h"

#include <cstdio>

#include "platform/text.h"

namespace platform {
namespace {

MessageBoxBackend& DefaultBackend() {
  static MessageBoxBackend headless;
  return headless;
}

MessageBoxBackend* installed = nullptr;

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

void SetMessageBoxBackend(MessageBoxBackend* backend) { installed = backend; }

}  // namespace platform

extern "C" {

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  const std::u16string wideText = platform::FromAnsi(text != nullptr ? text : "");
  const std::u16string wideCaption = platform::FromAnsi(caption != nullptr ? caption : "");
  platform::MessageBoxBackend* backend =
      platform::installed != nullptr ? platform::installed : &platform::DefaultBackend();
  return backend->Show(owner, wideText, wideCaption, type);
}

}  // extern "C"
