// wbexe (requests): the calculator's block, the library's block as it is,
// with the handlers of the requests that the main window serves.
#pragma once

#include <cstdint>

#include "interpreter/wbexe.h"

class TMemo;

class wbexecalc : public wbexe {
public:
  using wbexe::wbexe;

  // Serves the request cells (requests.cpp).
  int32_t HandleRequest();
  int32_t PrintText(TMemo* display, wcell& cell);
  int32_t PrintEscape(TMemo* display, const char16_t* text);
  int32_t AskYesNo(wcell& cell);
  int32_t InputText(wcell& cell);
  int32_t RunFinished();
  int32_t ControlRequest();
  // The host commands behind #cmd (hostcommands.cpp).
  int32_t Command(int32_t n);
};

// The library sees a wbexe: the calculator adds handlers, never fields.
static_assert(sizeof(wbexecalc) == sizeof(wbexe));
