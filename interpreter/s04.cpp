// s04: the statements, and the statement-like functions SUB, NEW and THIS.
#include <string>
#include <vector>

#include "interpreter/engine.h"
#include "interpreter/guard.h"
#include "interpreter/handlers.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {

bool TokenIs(const wword* lexer, const char16_t* word) {
  return platform::u16cmp(lexer->token, word) == 0;
}

bool IsTrue(const wvar& v) { return v.AsInt() != 0; }

const char16_t* TextOf(wvar& v) { return v.type == vtString ? v.Chars() : v.AsString(); }

// FOR var IN ref ... "{" {item} "}"
int32_t StmtForIn(wbsub* context, wcell* variable) {
  wword* const lexer = context->lexer;
  if (ResolveRef(context, nullptr) == stFailed) return stFailed;
  const wcell* const array = context->ref;
  std::vector<wvar> keys;
  if (const whash* table = array->elements) {
    keys.reserve(static_cast<size_t>(table->count));
    for (int32_t b = 0; b < table->size; ++b) {
      for (wcell* e = table->buckets[b]; e != nullptr; e = e->next) keys.emplace_back(e->name);
    }
  }
  if (SkipToToken(context, tkLBrace) == stFailed) return stFailed;
  const int32_t body = lexer->start;
  for (const wvar& key : keys) {
    variable->value = key;
    context->breakFlag = 0;
    lexer->pos = body;
    if (ExecStatement(context) == stFailed) return stFailed;
    if (context->breakFlag != 0 || context->returnFlag != 0) break;
  }
  lexer->pos = body;
  context->breakFlag = 0;
  return lexer->SkipItem() == stFailed ? stFailed : stDone;
}

}  // namespace

// statement = keyword-statement | [LET] expr
int32_t ExecWordStatement(wbsub* context) {
  wbexe* const block = context->block;
  const wcell* const keyword = FindGlobal(context);
  if (keyword != nullptr && keyword->kind == ckStatement) {
    block->handlerSlot = reinterpret_cast<TWHandler>(keyword->value.AsPointer());
    return block->handlerSlot(context);
  }
  context->lexer->Back();
  return StmtLet(context);
}

// REM text up to the end of the line
VEK_HANDLER(StmtRem) {
  context->lexer->SkipLine();
  return stDone;
}

// PRINT expr {"," expr}
VEK_HANDLER(StmtPrint) {
  wbexe* const block = context->block;
  wword* const lexer = context->lexer;
  for (;;) {
    if (Eval(context) == stFailed) return stFailed;
    AskHost(block, rqPrint, context->value);
    if (lexer->Next() != tkComma) {
      lexer->Back();
      return stDone;
    }
  }
}

// IF expr item {ELSEIF expr item} [ELSE item]
VEK_HANDLER(StmtIf) {
  wword* const lexer = context->lexer;
  if (Eval(context) == stFailed) return stFailed;
  bool taken = false;
  int32_t status;
  if (IsTrue(context->value)) {
    status = ExecStatement(context);
    taken = true;
  } else {
    status = lexer->SkipItem();
  }
  while (status != stFailed) {
    const int32_t token = lexer->Next();
    if (token == tkWord && TokenIs(lexer, u"ELSEIF")) {
      if (Eval(context) == stFailed) return stFailed;
      if (IsTrue(context->value) && !taken) {
        status = ExecStatement(context);
        taken = true;
      } else {
        status = lexer->SkipItem();
      }
    } else if (token == tkWord && TokenIs(lexer, u"ELSE")) {
      return taken ? lexer->SkipItem() : ExecStatement(context);
    } else {
      lexer->Back();
      return status;
    }
  }
  return status;
}

// WHILE expr item
VEK_HANDLER(StmtWhile) {
  wword* const lexer = context->lexer;
  const int32_t condition = lexer->pos;
  int32_t after;
  for (;;) {
    lexer->pos = condition;
    if (Eval(context) == stFailed) return stFailed;
    after = lexer->pos;
    if (!IsTrue(context->value)) break;
    context->breakFlag = 0;
    if (ExecStatement(context) == stFailed) return stFailed;
    if (context->breakFlag != 0 || context->returnFlag != 0) break;
  }
  lexer->pos = after;
  context->breakFlag = 0;
  return lexer->SkipItem() == stFailed ? stFailed : stDone;
}

// FOR ["("] var = expr TO expr [STEP expr] ... "{" {item} "}" | FOR var IN ref ...
VEK_HANDLER(StmtFor) {
  wword* const lexer = context->lexer;
  if (lexer->Next() != tkLParen) lexer->Back();
  if (ResolveRef(context, nullptr) == stFailed) return stFailed;
  wcell* const variable = context->ref;
  // Held for the whole loop.
  HoldCells holdVariable(variable);
  const int32_t token = lexer->Next();
  if (token == tkWord && TokenIs(lexer, u"IN")) return StmtForIn(context, variable);
  if (token != tkAssign) return Fail(context, erSyntax);

  if (Eval(context) == stFailed) return stFailed;
  variable->value = context->value;
  if (lexer->Next() != tkWord || !TokenIs(lexer, u"TO")) return Fail(context, erSyntax);
  if (Eval(context) == stFailed) return stFailed;
  const double end = context->value.AsReal();
  double step = 1.0;
  if (lexer->Next() == tkWord && TokenIs(lexer, u"STEP")) {
    if (Eval(context) == stFailed) return stFailed;
    step = context->value.AsReal();
  } else {
    lexer->Back();
  }
  if (SkipToToken(context, tkLBrace) == stFailed) return stFailed;
  const int32_t body = lexer->start;

  for (;;) {
    const double v = variable->value.AsReal();
    if (step > 0 && v > end) break;
    if (step < 0 && v < end) break;
    context->breakFlag = 0;
    lexer->pos = body;
    if (ExecStatement(context) == stFailed) return stFailed;
    if (context->breakFlag != 0 || context->returnFlag != 0) break;
    variable->value.SetReal(variable->value.AsReal() + step);
  }
  lexer->pos = body;
  context->breakFlag = 0;
  return lexer->SkipItem() == stFailed ? stFailed : stDone;
}

// BREAK
VEK_HANDLER(StmtBreak) {
  context->breakFlag = 1;
  return stDone;
}

// DIM decl {"," decl}, decl = name {"[" expr "]" | "." member} ["=" expr]
VEK_HANDLER(StmtDim) {
  wbexe* const block = context->block;
  wword* const lexer = context->lexer;
  const wvar empty(u"");
  for (;;) {
    const int32_t mark = lexer->pos;
    if (ParseDeclName(context) == stFailed) return stFailed;
    const char16_t* const name = lexer->token;
    if (block->stack.FindName(context->frameBase, name) != nullptr) {
      return Fail(context, erUndefined);
    }
    if (context->thisCell == nullptr) {
      block->stack.Push(ckMarker, name, nullptr, empty);
      if (block->names.Find(name) == nullptr) block->names.Add(name, empty, ckVar);
    } else {
      wcell* const local = block->stack.Push(ckVar, name, nullptr, empty);
      // A reused slot may still carry the table of an earlier local.
      local->ClearElements();
      local->pos = 0;
    }
    lexer->pos = mark;
    if (Eval(context) == stFailed) return stFailed;
    if (lexer->Next() != tkComma) {
      lexer->Back();
      return stDone;
    }
  }
}

// SUB [name] [params] item
VEK_HANDLER(FnSub) {
  wbexe* const block = context->block;
  wword* const lexer = context->lexer;
  wcell* entry = nullptr;
  const int32_t token = lexer->Next();
  if (token == tkWord) {
    if (block->stack.FindName(context->frameBase, lexer->token) != nullptr) {
      return Fail(context, erUndefined);
    }
    entry = block->names.Find(lexer->token);
    if (entry != nullptr && entry->kind != ckSub) return Fail(context, erUndefined);
    if (entry == nullptr) entry = block->names.Add(lexer->token, wvar(u""), ckSub);
  } else if (token == tkLParen || token == tkLBrace) {
    lexer->Back();
  } else {
    return Fail(context, erUndefined);
  }
  const int32_t mark = lexer->pos;
  if (SkipParamList(context) == stFailed) return stFailed;
  const int32_t status = lexer->SkipItem();
  if (status != stFailed) {
    const std::u16string code(lexer->text + mark, static_cast<size_t>(lexer->pos - mark));
    context->value.SetString(code.c_str());
    if (entry != nullptr) {
      ReleaseElements(block, entry);
      entry->kind = ckSub;
      entry->value = context->value;
      // Offsets count in the running text's own frame, so that a sub defined
      // inside a sub reports the lines of the text that defined both.
      entry->pos = mark + block->subOffset;
      entry->ref = nullptr;
    }
  }
  context->ref = nullptr;
  return status;
}

// RETURN ["(" [expr] ")"]
VEK_HANDLER(StmtReturn) {
  wword* const lexer = context->lexer;
  if (lexer->Next() != tkLParen) {
    lexer->Back();
  } else if (lexer->Next() != tkRParen) {
    lexer->Back();
    if (Eval(context) == stFailed) return stFailed;
    if (lexer->Next() != tkRParen) return Fail(context, erParenthesis);
  }
  context->returnFlag = 1;
  return stDone;
}

// END
VEK_HANDLER(StmtEnd) {
  context->block->errorCode = erStop;
  return stDone;
}

// EXIT
VEK_HANDLER(StmtExit) {
  context->block->errorCode = erExit;
  return stDone;
}

// STOP
VEK_HANDLER(StmtStop) {
  wbexe* const block = context->block;
  const wword* const lexer = context->lexer;
  char16_t title[256] = {0};
  GetWindowTextW(block->hostWindow, title, 256);
  const std::u16string paused = std::u16string(title) + u" - STOP";
  SetWindowTextW(block->hostWindow, paused.c_str());
  block->state = rsPaused;
  AskHost(block, rqEnd);
  AskHost(block, rqControl, ccErrorPos, lexer->start + block->subOffset,
          static_cast<int32_t>(platform::u16len(lexer->token)));
  do {
    Sleep(100);
    AskHost(block, rqStep);
  } while (block->state != rsRunning && block->errorCode == erNone);
  SetWindowTextW(block->hostWindow, title);
  return stDone;
}

// INPUT [string ","] ref {"," [string ","] ref}
VEK_HANDLER(StmtInput) {
  wbexe* const block = context->block;
  wword* const lexer = context->lexer;
  for (;;) {
    wvar prompt(u"");
    if (lexer->Next() == tkString) {
      prompt.SetString(lexer->token);
      if (lexer->Next() != tkComma) return Fail(context, erSyntax);
    } else {
      lexer->Back();
    }
    if (ResolveRef(context, nullptr) == stFailed) return stFailed;
    wcell* const target = context->ref;
    HoldCells hold(target);
    wvar reply(AskHost(block, rqInput, prompt));
    if (block->errorCode != erNone) return stFailed;

    const char16_t* const text = TextOf(reply);
    wword scan(text);
    if (scan.Next() == tkNumber) {
      target->value.SetReal(platform::u16tod(text));
    } else {
      target->value.SetString(text);
    }
    if (lexer->Next() != tkComma) {
      lexer->Back();
      return stDone;
    }
  }
}

// [LET] expr, which must assign or call
VEK_HANDLER(StmtLet) {
  context->sideEffect = 0;
  const int32_t status = Eval(context);
  if (status == stFailed) return stFailed;
  if (context->sideEffect != 0) return status;
  return Fail(context, erSyntax);
}

// NEW
// A reset frees every cell and stack slot. Runs below the top level, and
// operations in progress (a FOR loop, an assignment, an argument list, an
// index), hold such cells and slots, so NEW is refused there.
VEK_HANDLER(FnNew) {
  const RunGuard& guard = Guard();
  if (guard.runDepth > 1 || guard.holding > 0 || context->thisCell != nullptr) {
    return Fail(context, erSyntax);
  }
  ResetInterpreter(context->block);
  context->ref = nullptr;
  return stDone;
}

// THIS {"[" expr "]" | "." member} ["(" args ")"]
VEK_HANDLER(FnThis) {
  if (context->thisCell == nullptr) return Fail(context, erUndefined);
  if (ResolveRef(context, context->thisCell) == stFailed) return stFailed;
  return ReadOrCall(context);
}
