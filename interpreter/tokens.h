// tokens: the token codes and the statuses of statements and built-ins.
// Token codes, shared by the lexer, the wildcard matcher, the statements and
// the evaluator, and the statuses that statements, built-ins and parsing
// steps return.
#pragma once

#include <cstdint>

enum TWToken : int32_t {
  tkError = 1,
  tkEnd = 2,
  tkNewLine = 3,
  tkLBrace = 4,
  tkRBrace = 5,
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
  tkWord = 37,
  tkBang = 41,       // matcher only
  tkDigit = 42,      // matcher only
};

// A status is a token code, so that a step may hand on what the lexer's skips
// return (a skipped item gives stDone, an unbalanced one stFailed).
enum TWStatus : int32_t {
  stFailed = tkError,     // the block's errorCode says why
  stEndOfText = tkEnd,
  stClosed = tkRBrace,    // a block's closing brace, or a pending BREAK / RETURN
  stDone = tkWord,
};
