// builtin: BuiltinCall, how a built-in function takes its arguments and returns.
// The calling discipline of a built-in function: its arguments are parsed onto
// the value stack from the entry depth, read by index, and the stack is cut
// back when the result is handed over.
#pragma once

#include "interpreter/engine.h"

class BuiltinCall {
public:
  BuiltinCall(wbsub* context, int32_t minimum)
      : context_(context), stack_(context->block->stack), base_(stack_.depth),
        ok_(ParseArgsMin(context, minimum) != stFailed) {}

  bool ok() const { return ok_; }
  int32_t count() const { return stack_.depth - base_; }
  wvar& Arg(int32_t i) { return stack_.At(base_ + i); }
  int32_t Int(int32_t i) { return Arg(i).AsInt(); }
  double Real(int32_t i) { return Arg(i).AsReal(); }
  // The cell that argument i named, or null.
  wcell* Named(int32_t i) { return stack_.Cell(base_ + i)->ref; }

  // Done, leaving the context's value as the argument list left it: the
  // value of the last argument.
  int32_t Done() {
    context_->ref = nullptr;
    stack_.depth = base_;
    return stDone;
  }

  template <typename T>
  int32_t Return(T result, wcell* ref = nullptr) {
    context_->value = result;
    context_->ref = ref;
    stack_.depth = base_;
    return stDone;
  }

private:
  wbsub* context_;
  wstack& stack_;
  int32_t base_;
  bool ok_;
};

