// s02: the keyword table, the requests to the host window and the error report.
#include <string>

#include "interpreter/engine.h"
#include "interpreter/handlers.h"
#include "platform/window.h"

namespace {

struct Keyword {
  const char16_t* name;
  int32_t kind;
  TWHandler handler;
};

constexpr int32_t S = ckStatement;
constexpr int32_t F = ckFunction;

// Registration order fixes the order within a bucket that the diagnostics list.
const Keyword kKeywords[] = {
    {u"REM", S, StmtRem},           {u"DIM", S, StmtDim},
    {u"IF", S, StmtIf},             {u"LET", S, StmtLet},
    {u"WHILE", S, StmtWhile},       {u"FOR", S, StmtFor},
    {u"BREAK", S, StmtBreak},       {u"SUB", F, FnSub},
    {u"RETURN", S, StmtReturn},     {u"PRINT", S, StmtPrint},
    {u"INPUT", S, StmtInput},       {u"NEW", F, FnNew},
    {u"THIS", F, FnThis},           {u"END", S, StmtEnd},
    {u"EXIT", S, StmtExit},         {u"STOP", S, StmtStop},
    {u"INT", F, FnInt},             {u"RND", F, FnRnd},
    {u"ABS", F, FnAbs},             {u"SGN", F, FnSgn},
    {u"EXP", F, FnExp},             {u"POW", F, FnPow},
    {u"LOG", F, FnLog},             {u"SQR", F, FnSqr},
    {u"SIN", F, FnSin},             {u"COS", F, FnCos},
    {u"TAN", F, FnTan},             {u"ATAN", F, FnAtan},
    {u"MOD", F, FnMod},             {u"ROUND", F, FnRound},
    {u"LEN", F, FnLen},             {u"MID", F, FnMid},
    {u"LEFT", F, FnLeft},           {u"RIGHT", F, FnRight},
    {u"LOWER", F, FnLower},         {u"UPPER", F, FnUpper},
    {u"STR", F, FnStr},             {u"VAL", F, FnVal},
    {u"ASC", F, FnAsc},             {u"CHR", F, FnChr},
    {u"HEX", F, FnHex},             {u"INSTR", F, FnInStr},
    {u"REPLACE", F, FnReplace},     {u"STRCONV", F, FnStrConv},
    {u"LIKE", F, FnLike},           {u"NOW", F, FnNow},
    {u"DATE", F, FnDate},           {u"TIME", F, FnTime},
    {u"YEAR", F, FnYear},           {u"MONTH", F, FnMonth},
    {u"DAY", F, FnDay},             {u"WEEK", F, FnWeek},
    {u"HOUR", F, FnHour},           {u"MINUTE", F, FnMinute},
    {u"SECOND", F, FnSecond},       {u"COPY", F, FnCopy},
    {u"KILL", F, FnKill},           {u"RENAME", F, FnRename},
    {u"DIR", F, FnDir},             {u"MKDIR", F, FnMkDir},
    {u"CHDIR", F, FnChDir},         {u"READ", F, FnRead},
    {u"WRITE", F, FnWrite},         {u"WRITEB", F, FnWriteB},
    {u"DIMLEN", F, FnDimLen},       {u"DIMKEY", F, FnDimKey},
    {u"DIMDEL", F, FnDimDel},       {u"DIMWORD", F, FnDimWord},
    {u"CLS", F, FnCls},             {u"BEEP", F, FnBeep},
    {u"MSG", F, FnMsg},             {u"CALL", F, FnCall},
    {u"CALLSUB", F, FnCallSub},     {u"CALC", F, FnCalc},
    {u"RUN", F, FnRun},             {u"WAIT", F, FnWait},
    {u"COMMANDLINE", F, FnCommandLine},
    {u"KEYDOWN", F, FnKeyDown},     {u"KEYUP", F, FnKeyUp},
    {u"MOUSEMOVE", F, FnMouseMove}, {u"MOUSEDOWN", F, FnMouseDown},
    {u"MOUSEUP", F, FnMouseUp},     {u"GETCLIPBOARD", F, FnGetClipboard},
    {u"SETCLIPBOARD", F, FnSetClipboard},
    {u"SCREEN", F, FnScreen},       {u"DISPPROGRAM", F, FnDispProgram},
    {u"#CMD", F, FnCmd},            {u"#MEMBER", F, FnMember},
    {u"#HASHTOP", F, FnHashTop},    {u"#HASH", F, FnHash},
    {u"#SYSTEM", F, FnSystem},
};
static_assert(sizeof(kKeywords) / sizeof(kKeywords[0]) == 91);

void AppendDecimal(std::u16string& out, int32_t n) {
  std::string digits = std::to_string(n);
  out.append(digits.begin(), digits.end());
}

}  // namespace

void RegisterKeywords(wbexe* block) {
  block->names.Grow(100);
  for (const Keyword& k : kKeywords) {
    wvar handler(reinterpret_cast<void*>(k.handler));
    block->names.Add(k.name, handler, k.kind);
  }
}

void NotifyHost(wbexe* block) {
  COPYDATASTRUCT data{1, 0, nullptr};
  SendMessageA(block->hostWindow, WM_COPYDATA, block->hostWindow,
               reinterpret_cast<LPARAM>(&data));
}

void ReportError(wbsub* context) {
  wbexe* block = context->block;
  const wword* lexer = context->lexer;
  const int32_t position = lexer->start + block->subOffset;

  int32_t line = 1;
  if (const char16_t* text = block->programText) {
    for (int32_t i = 0; i < position && text[i] != 0; ++i) {
      if (text[i] == u'\n') ++line;
    }
  }

  static const char16_t* const kMessages[] = {
      nullptr,
      u"cannot allocate memory",
      u"variable error",
      u"area overflow",
      u"value type error",
      u"undefined error",
      u"file error",
      u"syntax error",
  };
  const std::u16string name = context->subName.AsString();
  const std::u16string token = lexer->token;
  std::u16string message;
  const int32_t code = block->errorCode;
  if (code == erExit || code == erStop) {
    return;
  } else if (code >= erMemory && code <= erSyntax) {
    message = u"\n" + name + u" ";
    AppendDecimal(message, line);
    message += u" " + token + u": " + kMessages[code];
  } else if (code == erParenthesis || code == erArithmetic) {
    message = u"\n" + name + u" ";
    AppendDecimal(message, line);
    message += code == erParenthesis ? u": unbalanced parentheses" : u": arithmetic error";
  } else {
    message = name + u" \n";
    AppendDecimal(message, line);
    message += u" " + token + u": system error\n";
  }

  AskHost(block, rqMessage, message.c_str());
  if (block->state == rsRunning) {
    const auto length = static_cast<int32_t>(std::char_traits<char16_t>::length(lexer->token));
    AskHost(block, rqControl, ccErrorPos, position, length);
  }
}
