// File built-ins.
// Placeholders: each handler fails until its unit is written.
#include "interpreter/engine.h"
#include "interpreter/handlers.h"

VEK_HANDLER(FnCopy) { (void)context; return tkError; }
VEK_HANDLER(FnKill) { (void)context; return tkError; }
VEK_HANDLER(FnRename) { (void)context; return tkError; }
VEK_HANDLER(FnDir) { (void)context; return tkError; }
VEK_HANDLER(FnMkDir) { (void)context; return tkError; }
VEK_HANDLER(FnChDir) { (void)context; return tkError; }
VEK_HANDLER(FnRead) { (void)context; return tkError; }
VEK_HANDLER(FnWrite) { (void)context; return tkError; }
VEK_HANDLER(FnWriteB) { (void)context; return tkError; }

int ReadTextFile(const char16_t*, wvar&) { return 0; }
int WriteTextFileW(const char16_t*, const char16_t*) { return 0; }
int WriteTextFileA(const char16_t*, const char16_t*) { return 0; }
