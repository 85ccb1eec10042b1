// handlers: the handlers of the 91 keywords, one signature for all.
#pragma once

#include "interpreter/wbsub.h"

#define VEK_HANDLER(name) int32_t name(wbsub* context)

// Statements and the statement-like functions (s04).
VEK_HANDLER(StmtRem);
VEK_HANDLER(StmtDim);
VEK_HANDLER(StmtIf);
VEK_HANDLER(StmtLet);
VEK_HANDLER(StmtWhile);
VEK_HANDLER(StmtFor);
VEK_HANDLER(StmtBreak);
VEK_HANDLER(FnSub);
VEK_HANDLER(StmtReturn);
VEK_HANDLER(StmtPrint);
VEK_HANDLER(StmtInput);
VEK_HANDLER(FnNew);
VEK_HANDLER(FnThis);
VEK_HANDLER(StmtEnd);
VEK_HANDLER(StmtExit);
VEK_HANDLER(StmtStop);

// Numbers and dates (s07).
VEK_HANDLER(FnInt);
VEK_HANDLER(FnRnd);
VEK_HANDLER(FnAbs);
VEK_HANDLER(FnSgn);
VEK_HANDLER(FnExp);
VEK_HANDLER(FnPow);
VEK_HANDLER(FnLog);
VEK_HANDLER(FnSqr);
VEK_HANDLER(FnSin);
VEK_HANDLER(FnCos);
VEK_HANDLER(FnTan);
VEK_HANDLER(FnAtan);
VEK_HANDLER(FnMod);
VEK_HANDLER(FnRound);
VEK_HANDLER(FnNow);
VEK_HANDLER(FnDate);
VEK_HANDLER(FnTime);
VEK_HANDLER(FnYear);
VEK_HANDLER(FnMonth);
VEK_HANDLER(FnDay);
VEK_HANDLER(FnWeek);
VEK_HANDLER(FnHour);
VEK_HANDLER(FnMinute);
VEK_HANDLER(FnSecond);

// Strings (s06).
VEK_HANDLER(FnLen);
VEK_HANDLER(FnMid);
VEK_HANDLER(FnLeft);
VEK_HANDLER(FnRight);
VEK_HANDLER(FnLower);
VEK_HANDLER(FnUpper);
VEK_HANDLER(FnStr);
VEK_HANDLER(FnVal);
VEK_HANDLER(FnAsc);
VEK_HANDLER(FnChr);
VEK_HANDLER(FnHex);
VEK_HANDLER(FnInStr);
VEK_HANDLER(FnReplace);
VEK_HANDLER(FnStrConv);
VEK_HANDLER(FnLike);

// Files (wfile).
VEK_HANDLER(FnCopy);
VEK_HANDLER(FnKill);
VEK_HANDLER(FnRename);
VEK_HANDLER(FnDir);
VEK_HANDLER(FnMkDir);
VEK_HANDLER(FnChDir);
VEK_HANDLER(FnRead);
VEK_HANDLER(FnWrite);
VEK_HANDLER(FnWriteB);

// Arrays, host commands and diagnostics (s08).
VEK_HANDLER(FnDimLen);
VEK_HANDLER(FnDimKey);
VEK_HANDLER(FnDimDel);
VEK_HANDLER(FnDimWord);
VEK_HANDLER(FnCmd);
VEK_HANDLER(FnMember);
VEK_HANDLER(FnHashTop);
VEK_HANDLER(FnHash);
VEK_HANDLER(FnSystem);

// Host and system (s05).
VEK_HANDLER(FnCls);
VEK_HANDLER(FnBeep);
VEK_HANDLER(FnMsg);
VEK_HANDLER(FnCall);
VEK_HANDLER(FnCallSub);
VEK_HANDLER(FnCalc);
VEK_HANDLER(FnRun);
VEK_HANDLER(FnWait);
VEK_HANDLER(FnCommandLine);
VEK_HANDLER(FnKeyDown);
VEK_HANDLER(FnKeyUp);
VEK_HANDLER(FnMouseMove);
VEK_HANDLER(FnMouseDown);
VEK_HANDLER(FnMouseUp);
VEK_HANDLER(FnGetClipboard);
VEK_HANDLER(FnSetClipboard);
VEK_HANDLER(FnScreen);
VEK_HANDLER(FnDispProgram);
