// The calling discipline of a built-in function: its arguments are parsed onto
// the value stack from the entry depth, read by index, and the stack is cut
// back when the result is handed over.
#pragma once

#include "interpreter/engine.h"

class BuiltinCall {
public:
  BuiltinCall(wbsub* context, int32_t minimum)
      : context_(context), stack_(context->block->stack), base_(stack_.depth),
        ok_(ParseArgsMin(context, minimum) != tkError) {}

  bool ok() const { return ok_; }
  int32_t count() const { return stack_.depth - base_; }
  wvar& Arg(int32_t i) { return stack_.At(base_ + i); }
  int32_t Int(int32_t i) { return Arg(i).AsInt(); }
  double Real(int32_t i) { return Arg(i).AsReal(); }
  // The cell that argument i named, or null.
  wcell* Named(int32_t i) { return stack_.Cell(base_ + i)->ref; }

  int32_t Fail(int32_t code) {
    context_->block->errorCode = code;
    return tkError;
  }

  template <typename T>
  int32_t Return(T result, wcell* ref = nullptr) {
    context_->value = result;
    context_->ref = ref;
    stack_.depth = base_;
    return tkWord;
  }

private:
  wbsub* context_;
  wstack& stack_;
  int32_t base_;
  bool ok_;
};

// The last step for handlers that parse their own arguments: no reference,
// the stack cut back to the entry depth.
inline int32_t EndBuiltin(wbsub* context, int32_t depth) {
  context->ref = nullptr;
  context->block->stack.depth = depth;
  return tkWord;
}
