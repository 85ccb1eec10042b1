// Numeric and date-time built-ins.
// Placeholders: each handler fails until its unit is written.
#include "interpreter/engine.h"
#include "interpreter/handlers.h"

VEK_HANDLER(FnInt) { (void)context; return tkError; }
VEK_HANDLER(FnRnd) { (void)context; return tkError; }
VEK_HANDLER(FnAbs) { (void)context; return tkError; }
VEK_HANDLER(FnSgn) { (void)context; return tkError; }
VEK_HANDLER(FnExp) { (void)context; return tkError; }
VEK_HANDLER(FnPow) { (void)context; return tkError; }
VEK_HANDLER(FnLog) { (void)context; return tkError; }
VEK_HANDLER(FnSqr) { (void)context; return tkError; }
VEK_HANDLER(FnSin) { (void)context; return tkError; }
VEK_HANDLER(FnCos) { (void)context; return tkError; }
VEK_HANDLER(FnTan) { (void)context; return tkError; }
VEK_HANDLER(FnAtan) { (void)context; return tkError; }
VEK_HANDLER(FnMod) { (void)context; return tkError; }
VEK_HANDLER(FnRound) { (void)context; return tkError; }
VEK_HANDLER(FnNow) { (void)context; return tkError; }
VEK_HANDLER(FnDate) { (void)context; return tkError; }
VEK_HANDLER(FnTime) { (void)context; return tkError; }
VEK_HANDLER(FnYear) { (void)context; return tkError; }
VEK_HANDLER(FnMonth) { (void)context; return tkError; }
VEK_HANDLER(FnDay) { (void)context; return tkError; }
VEK_HANDLER(FnWeek) { (void)context; return tkError; }
VEK_HANDLER(FnHour) { (void)context; return tkError; }
VEK_HANDLER(FnMinute) { (void)context; return tkError; }
VEK_HANDLER(FnSecond) { (void)context; return tkError; }
