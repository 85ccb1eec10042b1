// Token codes, shared by the lexer, the wildcard matcher, the statements and
// the evaluator. The small codes double as the status that statements and
// built-in handlers return.
#pragma once

#include <cstdint>

enum TWToken : int32_t {
  tkError = 1,       // status: failed (the block's errorCode says why)
  tkEnd = 2,         // end of text; status: end of text
  tkNewLine = 3,
  tkLBrace = 4,
  tkRBrace = 5,      // status: block closed, or a pending BREAK / RETURN
  tkEq = 6,
  tkGe = 7,
  tkLe = 8,
  tkNe = 9,
  tkPlus = 10,
  tkMinus = 11,
  tkStar = 12,
  tkSlash = 13,
  tkGt = 15,
  tkLt = 16,
  tkAssign = 17,
  tkComma = 18,
  tkLParen = 19,
  tkRParen = 20,
  tkLBracket = 21,
  tkRBracket = 22,
  tkQuestion = 24,   // matcher only
  tkComment = 25,
  tkDot = 26,
  tkColon = 27,
  tkAnd = 28,
  tkOr = 29,
  tkNot = 30,
  tkXor = 31,
  tkNumber = 32,
  tkHex = 35,
  tkString = 36,
  tkWord = 37,       // status: done
  tkBang = 41,       // matcher only
  tkDigit = 42,      // matcher only
};
