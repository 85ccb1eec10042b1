// wbexe (host side): the interpreter block's construction and its binding to libvek.so.
// The host side of the interpreter block: construction, destruction and the
// binding to the library's two exports. Shared by the calculator and vekrun.
#include "interpreter/wbexe.h"

#include <cstdlib>
#include <ctime>

#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/heap.h"
#include "platform/module.h"

namespace {
using TWExport = int32_t (*)(wbexe* block, const char16_t* text);

int32_t CallExport(wbexe* block, const char* name, const char* failure, const char16_t* text) {
  try {
    auto fn = reinterpret_cast<TWExport>(GetProcAddress(block->library, name));
    if (fn == nullptr) throw EOutOfMemory();
    return fn(block, text);
  } catch (...) {
    MessageBoxA(block->hostWindow, failure, "WB", MB_ICONWARNING);
    return 0;
  }
}
}  // namespace

wbexe::wbexe(HWND host) : result(0), names(1), stack(100), subName(0) {
  abort = 0;
  errorCode = erNone;
  hostWindow = host;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  seed = std::rand();
  subName = u"";
  state = rsIdle;
  library = nullptr;
  library = LoadLibraryA(kLibraryName);
}

wbexe::~wbexe() {
  // A cell's destructor leaves its elements; DIMWORD's array sits in a
  // request cell.
  for (wcell& cell : request) cell.ClearElements();
  for (wcell& cell : cmdLine) cell.ClearElements();
  if (library != nullptr) FreeLibrary(library);
  library = nullptr;
}

int32_t wbexe::Exec(const char16_t* text) {
  return CallExport(this, "WBExec", "cannot load VEK ", text);
}

int32_t wbexe::Sub(const char16_t* text) {
  return CallExport(this, "WBSub", "cannot load VEK", text);
}
