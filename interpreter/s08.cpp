// Array literals, array built-ins, host commands and diagnostics.
// Placeholders: each handler fails until its unit is written.
#include "interpreter/engine.h"
#include "interpreter/handlers.h"

VEK_HANDLER(FnDimLen) { (void)context; return tkError; }
VEK_HANDLER(FnDimKey) { (void)context; return tkError; }
VEK_HANDLER(FnDimDel) { (void)context; return tkError; }
VEK_HANDLER(FnDimWord) { (void)context; return tkError; }
VEK_HANDLER(FnCmd) { (void)context; return tkError; }
VEK_HANDLER(FnMember) { (void)context; return tkError; }
VEK_HANDLER(FnHashTop) { (void)context; return tkError; }
VEK_HANDLER(FnHash) { (void)context; return tkError; }
VEK_HANDLER(FnSystem) { (void)context; return tkError; }

int32_t ParseArrayList(wbsub* context, wcell*, int32_t) {
  context->block->errorCode = erSyntax;
  return tkError;
}

int32_t ParseArrayItem(wbsub* context, wcell*, int32_t) {
  context->block->errorCode = erSyntax;
  return tkError;
}
