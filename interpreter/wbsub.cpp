// The run context of one run of one text.
#include "interpreter/wbsub.h"

#include "interpreter/guard.h"
#include "platform/exceptions.h"
#include "platform/heap.h"

wbsub::wbsub(wbexe* b, const char16_t* text)
    : block(b),
      lexer(nullptr),
      value(0),
      ref(nullptr),
      frameBase(0),
      breakFlag(0),
      returnFlag(0),
      subName(0),
      thisCell(nullptr),
      sideEffect(0),
      stackLimit(Guard().stackLimit) {
  scanned = ScannedTextOf(text != nullptr ? text : u"");
  lexer = new wword(scanned->Text());
  lexer->scanned = scanned.get();
}

wbsub::~wbsub() {
  delete lexer;
  // A cell's destructor leaves its element table alone.
  literal.ClearElements();
}
