// s08: array literals, array built-ins, host commands and diagnostics.
#include <string>

#include "interpreter/builtin.h"
#include "interpreter/engine.h"
#include "interpreter/guard.h"
#include "interpreter/handlers.h"
#include "interpreter/wword.h"

namespace {

std::u16string Decimal(int32_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

// The element `key` of `cell`, emptied, with a nested literal parsed into it.
int32_t ParseNested(wbsub* context, wcell* cell, const char16_t* key) {
  wcell* element = cell->Element(key, 0);
  element->ClearElements();
  element->value = u"";
  return ParseArrayList(context, element, 0);
}

// A later item of the same key replaces the earlier one whole, elements too.
void Store(wcell* cell, const char16_t* key, const wvar& value) {
  wcell* element = cell->Element(key, 0);
  element->ClearElements();
  element->value = value;
}

// 0 empty, 1 all digits, 2 a name of A-Z, 0-9, "_", "$", "#" not led by a
// digit, 3 anything else.
int KeyClass(const char16_t* key) {
  int cls = 0;
  for (; *key != 0; ++key) {
    const char16_t c = *key;
    if (c >= u'0' && c <= u'9') {
      if (cls == 0) cls = 1;
    } else if ((c >= u'A' && c <= u'Z') || c == u'_' || c == u'$' || c == u'#') {
      if (cls == 1) return 3;
      cls = 2;
    } else {
      return 3;
    }
  }
  return cls;
}

std::u16string QuoteValue(wvar& value) {
  if (value.type != vtString) return value.AsString();
  std::u16string out = u"\"";
  for (const char16_t* p = value.Chars(); *p != 0; ++p) {
    switch (*p) {
      case u'\r': out += u"\\r"; break;
      case u'\n': out += u"\\n"; break;
      case u'\t': out += u"\\t"; break;
      case u'"': out += u"\\\""; break;
      default: out += *p;
    }
  }
  return out + u"\"";
}

// False when the elements nest deeper than the machine stack allows.
bool DumpMembers(const whash* table, std::u16string& out, const std::u16string& prefix) {
  if (StackLow()) return false;
  for (int32_t i = 0; i < table->size; ++i) {
    for (wcell* e = table->buckets[i]; e != nullptr; e = e->next) {
      const char16_t* key = e->name.AsString();
      std::u16string step;
      switch (KeyClass(key)) {
        case 2: step.append(u".").append(key); break;
        case 1: step.append(u"[").append(key).append(u"]"); break;
        default: step.append(u"[\"").append(key).append(u"\"]"); break;
      }
      out += prefix + step + u"=" + QuoteValue(e->value) + u"\r\n";
      if (e->elements != nullptr && !DumpMembers(e->elements, out, prefix + step)) return false;
    }
  }
  return true;
}

std::u16string Listing(const whash& table) {
  std::u16string out;
  for (int32_t i = 0; i < table.size; ++i) {
    int32_t j = 0;
    for (wcell* e = table.buckets[i]; e != nullptr; e = e->next, ++j) {
      out += Decimal(i) + u"-" + Decimal(j) + u" : " + e->name.AsString() + u"\r\n";
    }
  }
  return out;
}

}  // namespace

// list = item {"," item} "}", after its "{"
int32_t ParseArrayList(wbsub* context, wcell* cell, int32_t first) {
  int32_t counter = first;
  int32_t status = ParseArrayItem(context, cell, counter);
  while (status != stFailed) {
    const int32_t t = context->lexer->Next();
    if (t == tkRBrace) return stDone;
    if (t != tkComma) return Fail(context, erSyntax);
    ++counter;
    status = ParseArrayItem(context, cell, counter);
  }
  return stFailed;
}

// item = "{" list | expr [":" ("{" list | expr)]
int32_t ParseArrayItem(wbsub* context, wcell* cell, int32_t index) {
  wword* lexer = context->lexer;
  if (lexer->Next() == tkLBrace) return ParseNested(context, cell, Decimal(index).c_str());
  lexer->Back();
  if (Eval(context) == stFailed) return stFailed;
  const wvar first = context->value;

  if (lexer->Next() != tkColon) {
    lexer->Back();
    Store(cell, Decimal(index).c_str(), first);
    return stDone;
  }
  wvar key(first);
  const std::u16string keyText = key.AsString();
  if (lexer->Next() == tkLBrace) return ParseNested(context, cell, keyText.c_str());
  lexer->Back();
  if (Eval(context) == stFailed) return stFailed;
  Store(cell, keyText.c_str(), context->value);
  return stDone;
}

// DIMLEN(array)
VEK_HANDLER(FnDimLen) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const wcell* a = call.Named(0);
  const int32_t n = a != nullptr && a->elements != nullptr ? a->elements->count : 0;
  return call.Return(n);
}

// DIMDEL(array, key)
VEK_HANDLER(FnDimDel) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  wcell* a = call.Named(0);
  if (a == nullptr || a->elements == nullptr) return Fail(context, erVariable);
  // The element may be held by the statement in progress (a[1] = DIMDEL(a, 1)).
  if (!RemoveElement(context->block, a, call.Arg(1).AsString())) return Fail(context, erVariable);
  return call.Return(u"");
}

// DIMKEY(array, n)
VEK_HANDLER(FnDimKey) {
  BuiltinCall call(context, 2);
  if (!call.ok()) return stFailed;
  const wcell* a = call.Named(0);
  if (a == nullptr) return Fail(context, erVariable);
  const int32_t n = call.Arg(1).AsInt();
  const whash* table = a->elements;
  if (table != nullptr && n >= 0 && n < table->count) {
    int32_t k = 0;
    for (int32_t i = 0; i < table->size; ++i) {
      for (wcell* e = table->buckets[i]; e != nullptr; e = e->next, ++k) {
        if (k == n) return call.Return<const wvar&>(e->name);
      }
    }
  }
  return call.Return(u"");
}

// DIMWORD(text)
VEK_HANDLER(FnDimWord) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const std::u16string text = call.Arg(0).AsString();
  wcell& words = context->block->request[0];
  // A sub may still hold the previous array through a parameter.
  ReleaseElements(context->block, &words);

  wword lexer(text.c_str());
  lexer.upper = 0;
  for (int32_t counter = 0;; ++counter) {
    const int32_t before = lexer.pos;
    const int32_t t = lexer.Next();
    // A lexer that stops moving would make this loop endless.
    if (t == tkEnd || lexer.pos <= before) break;
    wcell* element = words.Element(Decimal(counter).c_str(), 0);
    element->value = static_cast<const char16_t*>(lexer.token);
    element->kind = t;
  }
  words.value = u"";
  return call.Return(int32_t{tkEnd}, &words);
}

// #CMD(command [, value ...]), at most nine in all
VEK_HANDLER(FnCmd) {
  wbexe* block = context->block;
  wstack& stack = block->stack;
  const int32_t base = stack.depth;
  const int32_t n = ParseArgs(context);
  if (n == kArgsFailed) return stFailed;
  // The command number and its arguments go into request cells 1 to 9.
  if (n == 0 || n > 9) return Fail(context, erVariable);
  for (int32_t i = 0; i < n; ++i) block->request[1 + i].value = stack.At(base + i);
  AskHost(block, rqCommand);
  context->value = block->request[2].value;
  context->ref = nullptr;
  stack.depth = base;
  return stDone;
}

// #MEMBER(ref)
VEK_HANDLER(FnMember) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  wcell* v = call.Named(call.count() - 1);
  if (v == nullptr) return Fail(context, erVariable);
  const std::u16string name = v->name.AsString();
  std::u16string out = name + u"=" + QuoteValue(v->value) + u"\r\n";
  if (v->elements != nullptr && !DumpMembers(v->elements, out, name)) return Fail(context, erOverflow);
  return call.Return(out.c_str());
}

// #HASHTOP
VEK_HANDLER(FnHashTop) {
  const std::u16string out = Listing(context->block->names);
  context->value = out.c_str();
  context->ref = nullptr;
  return stDone;
}

// #HASH(array)
VEK_HANDLER(FnHash) {
  BuiltinCall call(context, 1);
  if (!call.ok()) return stFailed;
  const wcell* a = call.Named(call.count() - 1);
  if (a == nullptr) return Fail(context, erVariable);
  if (a->elements == nullptr) return call.Return(u"NULL\r\n");
  return call.Return(Listing(*a->elements).c_str());
}

// #SYSTEM
VEK_HANDLER(FnSystem) {
  const wbexe* block = context->block;
  const std::u16string out = u"stack max : " + Decimal(block->stack.capacity) + u"\r\n" +
                             u"hash size : " + Decimal(block->names.size) + u"\r\n";
  context->value = out.c_str();
  context->ref = nullptr;
  return stDone;
}
