// String built-ins.
// Placeholders: each handler fails until its unit is written.
#include "interpreter/engine.h"
#include "interpreter/handlers.h"

VEK_HANDLER(FnLen) { (void)context; return tkError; }
VEK_HANDLER(FnMid) { (void)context; return tkError; }
VEK_HANDLER(FnLeft) { (void)context; return tkError; }
VEK_HANDLER(FnRight) { (void)context; return tkError; }
VEK_HANDLER(FnLower) { (void)context; return tkError; }
VEK_HANDLER(FnUpper) { (void)context; return tkError; }
VEK_HANDLER(FnStr) { (void)context; return tkError; }
VEK_HANDLER(FnVal) { (void)context; return tkError; }
VEK_HANDLER(FnAsc) { (void)context; return tkError; }
VEK_HANDLER(FnChr) { (void)context; return tkError; }
VEK_HANDLER(FnHex) { (void)context; return tkError; }
VEK_HANDLER(FnInStr) { (void)context; return tkError; }
VEK_HANDLER(FnReplace) { (void)context; return tkError; }
VEK_HANDLER(FnStrConv) { (void)context; return tkError; }
VEK_HANDLER(FnLike) { (void)context; return tkError; }
