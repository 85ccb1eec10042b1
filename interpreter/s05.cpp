// Host and system built-ins.
// Placeholders: each handler fails until its unit is written.
#include "interpreter/engine.h"
#include "interpreter/handlers.h"

VEK_HANDLER(FnCls) { (void)context; return tkError; }
VEK_HANDLER(FnBeep) { (void)context; return tkError; }
VEK_HANDLER(FnMsg) { (void)context; return tkError; }
VEK_HANDLER(FnCall) { (void)context; return tkError; }
VEK_HANDLER(FnCallSub) { (void)context; return tkError; }
VEK_HANDLER(FnCalc) { (void)context; return tkError; }
VEK_HANDLER(FnRun) { (void)context; return tkError; }
VEK_HANDLER(FnWait) { (void)context; return tkError; }
VEK_HANDLER(FnCommandLine) { (void)context; return tkError; }
VEK_HANDLER(FnKeyDown) { (void)context; return tkError; }
VEK_HANDLER(FnKeyUp) { (void)context; return tkError; }
VEK_HANDLER(FnMouseMove) { (void)context; return tkError; }
VEK_HANDLER(FnMouseDown) { (void)context; return tkError; }
VEK_HANDLER(FnMouseUp) { (void)context; return tkError; }
VEK_HANDLER(FnGetClipboard) { (void)context; return tkError; }
VEK_HANDLER(FnSetClipboard) { (void)context; return tkError; }
VEK_HANDLER(FnScreen) { (void)context; return tkError; }
VEK_HANDLER(FnDispProgram) { (void)context; return tkError; }
