// s05: host and system built-ins: the display and message box of the host,
// beep, sleep, programs, synthetic input, the clipboard, the host's command
// line, and nested runs of files, code texts and expressions.
#include <cstring>
#include <string>

#include "interpreter/builtin.h"
#include "interpreter/engine.h"
#include "interpreter/handlers.h"
#include "platform/clipboard.h"
#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/input.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/system.h"

namespace {

// The nested run of CALL, CALLSUB and CALC: its status is the caller's, so a
// failure (already reported inside) or an END stops the calling run too.
int32_t Nested(wbsub* context, BuiltinCall& call, const char16_t* text) {
  const int32_t status = ExecText(context->block, context, text);
  call.Done();
  return status;
}

// Pixels to the 0 .. 65535 span of absolute mouse coordinates, in 32-bit
// arithmetic that wraps; a screen that reports no size gives 0.
int32_t Normalise(int32_t pixels, int32_t size) {
  int32_t product = static_cast<int32_t>(static_cast<uint32_t>(pixels) * 65537u);
  if (size == 0 || (size == -1 && product == INT32_MIN)) return 0;
  return product / size;
}

int32_t MouseButton(wbsub* context, const DWORD (&flags)[3]) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  int32_t button = call.Arg(0).AsInt();
  if (button >= 0 && button <= 2) mouse_event(flags[button], 0, 0, 0, 0);
  return call.Done();
}

int32_t Key(wbsub* context, DWORD flags) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  keybd_event(static_cast<BYTE>(call.Arg(0).AsInt() & 0xFF), 0, flags, 0);
  return call.Done();
}

// Keeps the clipboard closed behind us, also when an allocation throws.
struct ClipboardSession {
  bool open;
  explicit ClipboardSession(HWND owner) : open(OpenClipboard(owner) != FALSE) {}
  ~ClipboardSession() {
    if (open) CloseClipboard();
  }
};

// A zero-filled block of `size` bytes holding the first `used` of `bytes`.
void HandOver(UINT format, const void* bytes, size_t used, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, size);
  if (!block) throw EOutOfMemory();
  memcpy(GlobalLock(block), bytes, used);
  GlobalUnlock(block);
  if (!SetClipboardData(format, block)) GlobalFree(block);
}

}  // namespace

// CLS()
VEK_HANDLER(FnCls) {
  wbexe* block = context->block;
  BuiltinCall call(context, 0);
  if (!call.ok()) return stFailed;
  static const char16_t clear[] = {0x1B, u'*', 0};
  context->value = clear;
  AskHost(block, rqPrint, context->value);
  return call.Return(u"");
}

// BEEP()
VEK_HANDLER(FnBeep) {
  BuiltinCall call(context, 0);
  if (!call.ok()) return stFailed;
  Beep(2400, 100);
  return call.Return(u"");
}

// MSG(text)
VEK_HANDLER(FnMsg) {
  wbexe* block = context->block;
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  return call.Return(AskHost(block, rqMessage, call.Arg(0).AsString()));
}

// CALL(file)
VEK_HANDLER(FnCall) {
  wbexe* block = context->block;
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  wvar text;
  if (!ReadTextFile(call.Arg(0).AsString(), text)) return Fail(context, erFile);
  // The token after the argument list, its ")", names the run in messages.
  block->subName = context->lexer->token;
  return Nested(context, call, text.AsString());
}

namespace {

// CALLSUB and CALC: the text between `before` and `after` as a nested run
// named `name`; an empty text gives 0 without a run.
int32_t RunCode(wbsub* context, const char16_t* name, const char16_t* before,
                const char16_t* after) {
  wbexe* block = context->block;
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  wvar text(call.Arg(0).AsString());
  if (text.Length() == 0) return call.Return(0);
  block->subName = name;
  wvar code(before);
  code.Append(text.Chars());
  code.Append(after);
  return Nested(context, call, code.Chars());
}

}  // namespace

// CALLSUB(code)
VEK_HANDLER(FnCallSub) { return RunCode(context, u"CALLSUB", u"", u""); }

// CALC(expression text)
VEK_HANDLER(FnCalc) { return RunCode(context, u"CALC", u"RETURN(", u")"); }

// RUN(file [, parameters [, wait]])
VEK_HANDLER(FnRun) {
  BuiltinCall call(context, 0);
  if (!call.ok()) return stFailed;
  const int32_t count = call.count();
  if (count == 0) return stFailed;  // no error code: reported as a system error
  std::u16string file = call.Arg(0).AsString();
  std::u16string parameters = count > 1 ? call.Arg(1).AsString() : u"";
  int32_t wait = count > 2 ? call.Arg(2).AsInt() : 0;

  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = 0;
  info.lpVerb = u"open";
  info.lpFile = file.c_str();
  info.lpParameters = count > 1 ? parameters.c_str() : nullptr;
  info.lpDirectory = nullptr;
  info.nShow = SW_SHOWDEFAULT;
  BOOL started = ShellExecuteExW(&info);
  context->value = static_cast<int32_t>(started);
  if (started && wait == 1 && info.hProcess) WaitForSingleObject(info.hProcess, INFINITE);
  if (info.hProcess) CloseHandle(info.hProcess);
  return call.Done();
}

// WAIT(milliseconds)
VEK_HANDLER(FnWait) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  int32_t ms = call.Arg(0).AsInt();
  if (ms < 0) return Fail(context, erArithmetic);
  Sleep(static_cast<DWORD>(ms));
  return call.Return(u"");
}

// COMMANDLINE(n)
VEK_HANDLER(FnCommandLine) {
  wbexe* block = context->block;
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  int32_t n = call.Arg(0).AsInt();
  // Only the cells 0 to 9 exist, on either side.
  if (n > 9 || n < 0) return Fail(context, erSyntax);
  return call.Return(block->cmdLine[n].value);
}

// KEYDOWN(key) and KEYUP(key)
VEK_HANDLER(FnKeyDown) { return Key(context, 0); }
VEK_HANDLER(FnKeyUp) { return Key(context, KEYEVENTF_KEYUP); }

// MOUSEMOVE(x, y)
VEK_HANDLER(FnMouseMove) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  int32_t x = call.Arg(0).AsInt();
  int32_t y = call.Arg(1).AsInt();
  int32_t dx = Normalise(x, GetSystemMetrics(SM_CXSCREEN));
  int32_t dy = Normalise(y, GetSystemMetrics(SM_CYSCREEN));
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<DWORD>(dx),
              static_cast<DWORD>(dy), 0, 0);
  return call.Done();
}

// MOUSEDOWN(button)
VEK_HANDLER(FnMouseDown) {
  static const DWORD flags[3] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN,
                                 MOUSEEVENTF_MIDDLEDOWN};
  return MouseButton(context, flags);
}

// MOUSEUP(button)
VEK_HANDLER(FnMouseUp) {
  static const DWORD flags[3] = {MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_MIDDLEUP};
  return MouseButton(context, flags);
}

// GETCLIPBOARD()
VEK_HANDLER(FnGetClipboard) {
  wbexe* block = context->block;
  BuiltinCall call(context, 0);
  if (!call.ok()) return stFailed;
  context->value = u"";
  ClipboardSession session(block->hostWindow);
  if (session.open) {
    if (IsClipboardFormatAvailable(CF_TEXT)) {
      if (HGLOBAL data = GetClipboardData(CF_TEXT)) {
        if (const char* ansi = static_cast<const char*>(GlobalLock(data))) context->value.SetAnsi(ansi);
        GlobalUnlock(data);
      }
    }
    // The UTF-16 form, when there is one, wins.
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
      if (HGLOBAL data = GetClipboardData(CF_UNICODETEXT)) {
        if (const void* text = GlobalLock(data))
          context->value = static_cast<const char16_t*>(text);
        GlobalUnlock(data);
      }
    }
  }
  return call.Done();
}

// SETCLIPBOARD(text)
VEK_HANDLER(FnSetClipboard) {
  wbexe* block = context->block;
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  wvar text(call.Arg(0).AsString());
  int32_t result = 0;
  {
    // A clipboard that cannot be had is left as it is, and the script told.
    ClipboardSession session(block->hostWindow);
    if (session.open) {
      EmptyClipboard();
      size_t n = static_cast<size_t>(text.Length()) + 1;
      HandOver(CF_UNICODETEXT, text.Chars(), 2 * n, 2 * n);
      const char* ansi = text.AsAnsi();
      size_t bytes = strlen(ansi) + 1;
      HandOver(CF_TEXT, ansi, bytes, bytes > 2 * n ? bytes : 2 * n);
      result = 1;
    }
  }
  return call.Return(result);
}

// SCREEN(a, b)
VEK_HANDLER(FnScreen) {
  wbexe* block = context->block;
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  int32_t a = call.Arg(0).AsInt();
  int32_t b = call.Arg(1).AsInt();
  AskHost(block, rqControl, ccScreen, a, b);
  return call.Done();
}

// DISPPROGRAM(n)
VEK_HANDLER(FnDispProgram) {
  wbexe* block = context->block;
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  int32_t n = call.Arg(0).AsInt();
  AskHost(block, rqControl, ccDispProgram, n);
  return call.Done();
}
