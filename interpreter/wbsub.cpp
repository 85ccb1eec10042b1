// wbsub: the run context of one run of one text.
#include "interpreter/wbsub.h"

#include "interpreter/guard.h"
#include "platform/exceptions.h"
#include "platform/heap.h"

#include <vector>

namespace {

// Contexts of finished runs on this thread, ready for the next ones.
struct SparedContexts {
  std::vector<wbsub*> list;
  ~SparedContexts() {
    for (wbsub* context : list) delete context;
  }
};
thread_local SparedContexts spared;
constexpr size_t kSparedMax = 64;

}  // namespace

wbsub::wbsub(wbexe* b, const char16_t* text, uint64_t version)
    : block(b), lexer(nullptr), value(0), subName(0), stackLimit(Guard().stackLimit) {
  lexer = new wword(u"");
  Start(b, text, version);
}

wbsub::~wbsub() {
  delete lexer;
  // A cell's destructor leaves its element table alone.
  literal.ClearElements();
}

// Everything the constructor sets, set again for a new run.
void wbsub::Start(wbexe* b, const char16_t* text, uint64_t version) {
  block = b;
  value = 0;
  ref = nullptr;
  frameBase = 0;
  breakFlag = 0;
  returnFlag = 0;
  subName = 0;
  thisCell = nullptr;
  sideEffect = 0;
  literal.ClearElements();
  literal.next = nullptr;
  literal.kind = ckNone;
  literal.name = u"";
  literal.value = u"";
  literal.ref = nullptr;
  literal.pos = 0;
  scanned = ScannedTextOf(text != nullptr ? text : u"", version);
  lexer->SetText(scanned->Text());
  lexer->upper = 1;
  lexer->scanned = scanned.get();
}

wbsub* wbsub::Make(wbexe* b, const char16_t* text, uint64_t version) {
  if (spared.list.empty()) return new wbsub(b, text, version);
  wbsub* context = spared.list.back();
  spared.list.pop_back();
  try {
    context->Start(b, text, version);
  } catch (...) {
    delete context;
    throw;
  }
  return context;
}

void wbsub::Release(wbsub* context) {
  if (context == nullptr) return;
  if (spared.list.size() >= kSparedMax) {
    delete context;
    return;
  }
  // What the run held goes now, as it would with the context.
  context->literal.ClearElements();
  context->scanned.reset();
  context->lexer->SetText(u"");
  spared.list.push_back(context);
}
