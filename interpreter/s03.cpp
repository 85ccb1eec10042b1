// s03: the expression evaluator, name lookup, references and calls.
#include <cstring>
#include <string>
#include <utility>

#include "interpreter/engine.h"
#include "interpreter/guard.h"
#include "platform/heap.h"
#include "platform/text.h"

namespace {

// Precedence levels of the binary operators, loosest first; 0 for any
// other token.
enum Level : int { kNoOperator, kLogic, kCompare, kAdd, kMul };

int32_t EvalAssign(wbsub* context);
int32_t EvalBinary(wbsub* context, int lowest);
int32_t EvalPrimary(wbsub* context);

inline bool IsNumber(const wvar& v) { return v.type == vtInt || v.type == vtReal; }

// Exchanges two values without copying their payloads; an inline payload
// moves with its buffer. The left operand of an operator is taken this way,
// so that long strings are not copied once more for every operator.
void SwapValues(wvar& a, wvar& b) {
  const bool aInline = a.data == a.buffer;
  const bool bInline = b.data == b.buffer;
  std::swap(a.type, b.type);
  std::swap(a.data, b.data);
  std::swap(a.capacity, b.capacity);
  unsigned char buffer[sizeof(a.buffer)];
  std::memcpy(buffer, a.buffer, sizeof(buffer));
  std::memcpy(a.buffer, b.buffer, sizeof(buffer));
  std::memcpy(b.buffer, buffer, sizeof(buffer));
  std::swap(a.conv, b.conv);
  std::swap(a.pval, b.pval);
  if (aInline) b.data = b.buffer;
  if (bInline) a.data = a.buffer;
}

// left op right, with the left operand taking the right operand's type; the
// result replaces right. Integers and reals are computed here directly, which
// gives what the value's own operators give without touching its temp.
void Arithmetic(wvar& left, int32_t op, wvar& right) {
  if (IsNumber(left) && IsNumber(right)) {
    if (right.type == vtReal) {
      const double a = left.AsReal();
      const double b = right.AsReal();
      double r = 0.0;
      switch (op) {
        case tkPlus: r = a + b; break;
        case tkMinus: r = a - b; break;
        case tkStar: r = a * b; break;
        default: r = a / b; break;
      }
      right.SetReal(r);
    } else {
      const uint32_t a = static_cast<uint32_t>(left.AsInt());
      const uint32_t b = static_cast<uint32_t>(right.AsInt());
      uint32_t r = 0;
      switch (op) {
        case tkPlus: r = a + b; break;
        case tkMinus: r = a - b; break;
        case tkStar: r = a * b; break;
        default:
          // The smallest integer divided by -1 wraps to itself.
          if (static_cast<int32_t>(b) == -1) {
            r = 0u - a;
          } else {
            r = static_cast<uint32_t>(static_cast<int32_t>(a) / static_cast<int32_t>(b));
          }
          break;
      }
      right.SetInt(static_cast<int32_t>(r));
    }
    return;
  }
  wvar* result = nullptr;
  switch (op) {
    case tkPlus: result = &left.Add(right); break;
    case tkMinus: result = &left.Sub(right); break;
    case tkStar: result = &left.Mul(right); break;
    default: result = &left.Div(right); break;
  }
  right = *result;
}

template <typename T>
int Holds(T a, int32_t op, T b) {
  switch (op) {
    case tkEq: return a == b;
    case tkNe: return a != b;
    case tkGt: return a > b;
    case tkLt: return a < b;
    case tkGe: return a >= b;
    default: return a <= b;
  }
}

// 1 when "left op right" holds, the left operand taking the right one's type.
int Compare(wvar& left, int32_t op, wvar& right) {
  if (IsNumber(left) && IsNumber(right)) {
    if (right.type == vtReal) return Holds(left.AsReal(), op, right.AsReal());
    return Holds(left.AsInt(), op, right.AsInt());
  }
  switch (op) {
    case tkEq: return left.Eq(right);
    case tkNe: return left.Ne(right);
    case tkGt: return left.Gt(right);
    case tkLt: return left.Lt(right);
    case tkGe: return left.Ge(right);
    default: return left.Le(right);
  }
}

bool IsZero(wvar& v) {
  if (IsNumber(v)) return v.AsReal() == 0.0;
  const wvar zero(0.0);
  return v.Eq(zero) != 0;
}

// The target takes the whole source cell but keeps its name. The element
// table is copied before the target's own is freed, since the source may lie
// inside it.
void CopyWholeCell(wbexe* block, wcell* target, const wcell* source) {
  if (target == source) return;
  whash* elements = source->elements != nullptr ? whash::Clone(source->elements) : nullptr;
  const wvar value(source->value);
  const int32_t kind = source->kind;
  wcell* const ref = source->ref;
  const int32_t pos = source->pos;
  ReleaseElements(block, target);
  target->elements = elements;
  target->kind = kind;
  target->value = value;
  target->ref = ref;
  target->pos = pos;
}

double ReadHex(const char16_t* token) {
  uint64_t n = 0;
  for (const char16_t* p = token + 2; *p != 0; ++p) {
    const char16_t c = *p;
    const uint32_t digit = c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10;
    n = n * 16 + digit;
    if (n > 0xFFFFFFFFull) return 4294967295.0;
  }
  return static_cast<double>(n);
}

double ReadDecimal(const char16_t* token) { return platform::u16tod(token); }

// The value of the number literal just read: read once for each place in a
// text, however often that place is passed.
double LiteralValue(wword* lexer, double (*read)(const char16_t*)) {
  ScannedText::Token* const known = lexer->known;
  if (known == nullptr) return read(lexer->token);
  if (!known->numberKnown) {
    known->number = read(lexer->token);
    known->numberKnown = true;
  }
  return known->number;
}

// assign = logic ["=" expr]
int32_t EvalAssign(wbsub* context) {
  const int32_t status = EvalBinary(context, kLogic);
  if (status == stFailed) return stFailed;
  if (status != tkAssign) return status;
  context->lexer->Next();
  context->sideEffect = 1;
  wcell* const target = context->ref;
  if (target == nullptr) return Fail(context, erVariable);
  int32_t right;
  {
    HoldCells hold(target);
    right = Eval(context);
  }
  if (right == stFailed) return stFailed;
  if (context->ref != nullptr) {
    CopyWholeCell(context->block, target, context->ref);
    // The target now holds all the source held, and it is the one of the
    // two that the copy cannot have freed.
    context->ref = target;
  } else {
    target->value = context->value;
    target->pos = 0;
    ReleaseElements(context->block, target);
    target->ref = nullptr;
  }
  return right;
}

Level LevelOf(int32_t token) {
  switch (token) {
    case tkAnd: case tkOr: case tkXor:
      return kLogic;
    case tkEq: case tkNe: case tkGt: case tkLt: case tkGe: case tkLe:
      return kCompare;
    case tkPlus: case tkMinus:
      return kAdd;
    case tkStar: case tkSlash:
      return kMul;
    default:
      return kNoOperator;
  }
}

// left op right; the result replaces the right operand in the context's value.
bool Combine(wbsub* c, wvar& left, int32_t op) {
  switch (LevelOf(op)) {
    case kLogic: {
      const int32_t a = left.AsInt();
      const int32_t b = c->value.AsInt();
      c->value.SetInt(op == tkAnd ? (a & b) : op == tkOr ? (a | b) : (a ^ b));
      return true;
    }
    case kCompare:
      c->value.SetInt(Compare(left, op, c->value) != 0 ? -1 : 0);
      return true;
    case kAdd:
      if (op == tkPlus && left.type == vtString && c->value.type == vtString) {
        // Text joined to text: appended in place.
        left.Append(c->value.Chars());
        SwapValues(left, c->value);
      } else {
        Arithmetic(left, op, c->value);
      }
      return true;
    default:
      if (op == tkSlash && IsZero(c->value)) {
        Fail(c, erArithmetic);
        return false;
      }
      Arithmetic(left, op, c->value);
      return true;
  }
}

// logic = compare {(AND | OR | XOR) compare}
// compare = sum {("==" | "!=" | ">" | "<" | ">=" | "<=") sum}
// sum = product {("+" | "-") product}
// product = primary {("*" | "/") primary}
// Primaries joined by the operators of level `lowest` and tighter. The right
// operand of an operator takes only the operators that bind more tightly, so
// operators of one level join from left to right. The left operand is taken
// out of the context's value without a copy. Ends with the token after the
// expression put back, and returns its code.
int32_t EvalBinary(wbsub* context, int lowest) {
  if (EvalPrimary(context) == stFailed) return stFailed;
  wword* const lexer = context->lexer;
  int32_t op = lexer->Next();
  lexer->Back();
  for (;;) {
    const int level = LevelOf(op);
    if (level == kNoOperator || level < lowest) return op;
    lexer->Next();
    wvar left;
    SwapValues(left, context->value);
    const int32_t ended = EvalBinary(context, level + 1);
    if (ended == stFailed) return stFailed;
    if (!Combine(context, left, op)) return stFailed;
    context->ref = nullptr;
    op = ended;
  }
}

// The frame's slot of the last token's name, else the global cell found for
// it, unless that is a keyword.
wcell* FindInFrame(wbsub* context, wcell* global) {
  wcell* slot = context->block->stack.FindName(context->frameBase, context->lexer->token);
  if (slot != nullptr && slot->kind != ckMarker) return slot;
  if (global == nullptr || global->kind == ckStatement || global->kind == ckFunction) return nullptr;
  return global;
}

// Machine stack that one nesting level of an array literal may take, with
// room to spare for the sanitizers' larger frames.
constexpr uintptr_t kLiteralLevelBytes = 4096;

// True when the literal whose "{" was just read nests deeper than the
// remaining machine stack allows.
bool LiteralTooDeep(const wword* lexer) {
  wword scan(lexer->text);
  scan.upper = lexer->upper;
  scan.pos = lexer->pos;
  uintptr_t depth = 1, deepest = 1;
  for (;;) {
    const int32_t token = scan.Next();
    if (token == tkLBrace) {
      if (++depth > deepest) deepest = depth;
    } else if (token == tkRBrace) {
      if (--depth == 0) break;
    } else if (token == tkEnd) {
      break;
    }
  }
  if (deepest < 16) return false;
  const uintptr_t frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  const uintptr_t limit = Guard().stackLimit;
  return frame <= limit || (frame - limit) / kLiteralLevelBytes < deepest;
}

int32_t CallFunction(wbsub* context, wcell* keyword) {
  wbexe* const block = context->block;
  block->handlerSlot = reinterpret_cast<TWHandler>(keyword->value.AsPointer());
  const int32_t status = block->handlerSlot(context);
  context->sideEffect = 1;
  return status;
}

// primary = number | hex | string | "(" expr ")" | "{" list | (NOT | "+" | "-") primary
//         | function [args] | ref ["(" args ")"]
int32_t EvalPrimary(wbsub* context) {
  wbexe* const block = context->block;
  if (StackExhausted(context)) return stFailed;
  wword* const lexer = context->lexer;
  const int32_t token = lexer->Next();
  switch (token) {
    case tkNumber:
      context->value.SetReal(LiteralValue(lexer, ReadDecimal));
      context->ref = nullptr;
      return stDone;
    case tkHex:
      context->value.SetReal(LiteralValue(lexer, ReadHex));
      context->ref = nullptr;
      return stDone;
    case tkString:
      context->value.SetString(lexer->token);
      context->ref = nullptr;
      return stDone;
    case tkLParen:
      if (Eval(context) == stFailed) return stFailed;
      context->ref = nullptr;
      if (lexer->Next() != tkRParen) return Fail(context, erParenthesis);
      return stDone;
    case tkLBrace: {
      // Nested literals recurse in the literal parser, past the checks of
      // the evaluator: their depth is measured first.
      if (LiteralTooDeep(lexer)) return Fail(context, erOverflow);
      wcell* literal = &context->literal;
      if (literal->kind == ckMarker) {
        // A literal inside an item of the literal being built: the context's
        // cell is taken, so this one goes to a slot above the frame, which
        // then outlives its pop as a returned local does (an argument
        // pushed next reuses it as its own cell).
        wstack& stack = block->stack;
        const int32_t depth = stack.depth;
        literal = stack.Push(ckNone, u"", nullptr, wvar(u""));
        ReleaseElements(block, literal);
        const int32_t status = ParseArrayList(context, literal, 0);
        stack.depth = depth;
        if (status == stFailed) return stFailed;
      } else {
        ReleaseElements(block, literal);
        literal->kind = ckMarker;  // being built
        const int32_t status = ParseArrayList(context, literal, 0);
        literal->kind = ckNone;
        if (status == stFailed) return stFailed;
      }
      context->ref = literal;
      context->value.SetString(u"");
      return stDone;
    }
    case tkNot:
      if (EvalPrimary(context) == stFailed) return stFailed;
      context->value.SetInt(~context->value.AsInt());
      context->ref = nullptr;
      return stDone;
    case tkPlus:
      if (EvalPrimary(context) == stFailed) return stFailed;
      context->value.SetReal(context->value.AsReal());
      context->ref = nullptr;
      return stDone;
    case tkMinus:
      if (EvalPrimary(context) == stFailed) return stFailed;
      context->value.SetReal(0.0 - context->value.AsReal());
      context->ref = nullptr;
      return stDone;
    case tkWord: {
      // One search of the global table serves both the keyword test and the
      // name lookup.
      wcell* global = FindGlobal(context);
      if (global != nullptr && global->kind == ckFunction) {
        return CallFunction(context, global) == stFailed ? stFailed : stDone;
      }
      wcell* cell = FindInFrame(context, global);
      if (cell == nullptr) return Fail(context, erUndefined);
      if (cell->ref != nullptr) cell = cell->ref;
      const int32_t next = lexer->Next();
      lexer->Back();
      if (next != tkLBracket && next != tkDot && next != tkLParen) {
        // A plain variable read: what ResolveRef and ReadOrCall do for it.
        block->thisCell = cell;
        context->ref = cell;
        context->value = cell->value;
        return stDone;
      }
      if (ResolveRef(context, cell) == stFailed) return stFailed;
      if (ReadOrCall(context) == stFailed) return stFailed;
      return stDone;
    }
    default:
      return Fail(context, erSyntax);
  }
}

}  // namespace

// expr = assign
int32_t Eval(wbsub* context) {
  context->ref = nullptr;
  if (context->breakFlag != 0 || context->returnFlag != 0) return stDone;
  return EvalAssign(context);
}

int IsNameStart(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u'$' ||
         c == u'#';
}

wcell* LookupName(wbsub* context) {
  return FindInFrame(context, FindGlobal(context));
}

// Remembered with the token where its text was scanned, until any table
// changes.
wcell* FindGlobal(wbsub* context) {
  const whash& names = context->block->names;
  wword* const lexer = context->lexer;
  ScannedText::Token* const known = lexer->known;
  if (known == nullptr) return names.Find(lexer->token);
  const uint64_t state = platform::TableChanges();
  if (known->table != &names || known->tableState != state) {
    known->cell = names.Find(lexer->token);
    known->table = &names;
    known->tableState = state;
  }
  return known->cell;
}

// ref = name {"[" expr "]" | "." (name | string)}
int32_t ResolveRef(wbsub* context, wcell* start) {
  wbexe* const block = context->block;
  wword* const lexer = context->lexer;
  wcell* cell = start;
  if (cell == nullptr) {
    lexer->Next();
    cell = LookupName(context);
    if (cell == nullptr) return Fail(context, erUndefined);
    if (cell->ref != nullptr) cell = cell->ref;
  }
  block->thisCell = cell;
  for (;;) {
    const int32_t token = lexer->Next();
    if (token == tkLBracket) {
      {
        HoldCells hold(cell);
        if (Eval(context) == stFailed) return stFailed;
      }
      block->thisCell = cell;
      const int32_t hint = context->value.AsInt();
      const char16_t* key =
          context->value.type == vtString ? context->value.Chars() : context->value.AsString();
      cell = cell->Element(key, hint);
      if (lexer->Next() != tkRBracket) return Fail(context, erParenthesis);
    } else if (token == tkDot) {
      const int32_t member = lexer->Next();
      if (member != tkString && !IsNameStart(lexer->token[0])) return Fail(context, erUndefined);
      block->thisCell = cell;
      cell = cell->Element(lexer->token, 0);
    } else {
      lexer->Back();
      context->ref = cell;
      return stDone;
    }
  }
}

// ref ["(" args ")"]: the value of the cell, or the sub it holds called
int32_t ReadOrCall(wbsub* context) {
  wcell* const cell = context->ref;
  wword* const lexer = context->lexer;
  const int32_t token = lexer->Next();
  lexer->Back();
  if (token == tkLParen) {
    if (CallSub(context, cell) == stFailed) return stFailed;
    context->sideEffect = 1;
  } else {
    context->value = cell->value;
  }
  return stDone;
}

// name {"[" expr "]" | "." member}, read only for the name it leaves in the token
int32_t ParseDeclName(wbsub* context) {
  wword* const lexer = context->lexer;
  if (lexer->Next() != tkWord) return Fail(context, erVariable);
  char16_t name[256];
  std::memcpy(name, lexer->token, sizeof(name));
  for (;;) {
    const int32_t token = lexer->Next();
    if (token == tkLBracket) {
      if (Eval(context) == stFailed) return stFailed;
      if (lexer->Next() != tkRBracket) return Fail(context, erParenthesis);
    } else if (token == tkDot) {
      const int32_t member = lexer->Next();
      if (member != tkString && !IsNameStart(lexer->token[0])) return Fail(context, erUndefined);
    } else {
      lexer->Back();
      break;
    }
  }
  std::memcpy(lexer->token, name, sizeof(name));
  lexer->Forget();
  return stDone;
}

// ref "(" args ")" with a sub in the cell
// The name and the text offset are taken only once the arguments have been
// read, so that a sub called inside them and an error in them are reported
// under the caller's own name and position.
int32_t CallSub(wbsub* context, wcell* cell) {
  wbexe* const block = context->block;
  const int32_t depth = block->stack.depth;
  const int32_t savedOffset = block->subOffset;
  const int32_t savedSide = context->sideEffect;
  wcell* const object = block->thisCell;
  {
    HoldCells holdCell(cell);
    HoldCells holdObject(object);
    if (ParseArgs(context) == kArgsFailed) return stFailed;
  }
  block->thisCell = object;
  block->subName = cell->name;
  block->subOffset = cell->pos;
  // The run takes its own copy of the text before its first statement: the
  // sub may redefine or reassign the very cell it came from.
  const char16_t* code = cell->value.type == vtString ? cell->value.Chars() : cell->value.AsString();
  if (RunBlock(block, code, depth, cell->value.Version()) == stFailed) return stFailed;
  context->value = block->result;
  context->ref = block->resultRef;
  context->sideEffect = savedSide;
  // A result that lives in the popped frame (a local, a returned literal)
  // must not be the cell that the next argument's push reuses.
  block->stack.KeepAtBase(depth, block->resultRef);
  block->stack.depth = depth;
  block->subOffset = savedOffset;
  return stDone;
}

// args = ["(" [expr {"," expr}] ")"]
int32_t ParseArgs(wbsub* context) {
  wword* const lexer = context->lexer;
  if (lexer->Next() != tkLParen) {
    lexer->Back();
    return 0;
  }
  if (lexer->Next() == tkRParen) return 0;
  lexer->Back();
  HoldCells hold;
  int32_t count = 0;
  for (;;) {
    if (Eval(context) == stFailed) return kArgsFailed;
    wcell* const ref = context->ref;
    if (ref == &context->literal) {
      // An array literal becomes the argument's own: the next literal in the
      // list is built in the same cell.
      wcell* const slot = context->block->stack.Push(ckVar, u"", nullptr, context->value);
      ReleaseElements(context->block, slot);
      slot->elements = ref->elements;
      ref->elements = nullptr;
      slot->ref = slot;
    } else {
      context->block->stack.Push(ckVar, u"", ref, context->value);
    }
    ++count;
    const int32_t token = lexer->Next();
    if (token == tkRParen) return count;
    if (token != tkComma) {
      lexer->Back();
      return count;
    }
  }
}

// args with at least `minimum` expressions
int32_t ParseArgsMin(wbsub* context, int32_t minimum) {
  const int32_t count = ParseArgs(context);
  if (count == kArgsFailed) return stFailed;
  if (count < minimum) return Fail(context, erVariable);
  return stDone;
}

// params = ["(" [name {"," name}] ")"]
int32_t BindParams(wbsub* context) {
  wword* const lexer = context->lexer;
  if (lexer->Next() != tkLParen) {
    lexer->Back();
    return stDone;
  }
  int32_t i = 0;
  for (;;) {
    const int32_t token = lexer->Next();
    if (token == tkRParen) return stDone;
    if (token == tkComma) continue;
    if (context->block->stack.SetName(context->frameBase + i, lexer->token) == 0) {
      return Fail(context, erUndefined);
    }
    ++i;
  }
}

// params, passed over
int32_t SkipParamList(wbsub* context) {
  wword* const lexer = context->lexer;
  if (lexer->Next() != tkLParen) {
    lexer->Back();
    return stDone;
  }
  for (;;) {
    const int32_t token = lexer->Next();
    if (token == tkRParen) return stDone;
    if (token == tkEnd) return Fail(context, erParenthesis);
  }
}

int32_t SkipToToken(wbsub* context, int32_t target) {
  wword* const lexer = context->lexer;
  int32_t depth = 0;
  for (;;) {
    const int32_t token = lexer->Next();
    if (token == tkEnd) return Fail(context, erSyntax);
    if (target == tkComma) {
      if (token == tkLParen) ++depth;
      if (token == tkRParen) --depth;
    }
    if (token == target && depth == 0) return target;
  }
}
