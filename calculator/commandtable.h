// commandtable: the host commands behind #cmd, over the window's routines.
// The host commands behind #cmd (1 to 33): what each one reads from the
// request cells, does and answers. Everything that touches the window goes
// through HostSide, so the table itself runs without one.
#pragma once

#include <cstdint>
#include <string>

#include "calculator/wini.h"
#include "calculator/wsetting.h"

class wbexe;

// The host command numbers behind #cmd, named after the prelude's subs
// that call them. 28 is free.
enum HostCommand : int32_t {
  hcSetButton = 1, hcSetButtonLabel = 2, hcSetButtonData = 3, hcSetButtonColor = 4,
  hcSetButtonBackColor = 5, hcGetButton = 6, hcGetButtonLabel = 7,
  hcGetButtonData = 8, hcGetButtonColor = 9, hcGetButtonBackColor = 10,
  hcSave = 11, hcLoad = 12, hcEditButton = 13, hcCopyButton = 14,
  hcCopyDataButton = 15, hcPasteButton = 16, hcDeleteButton = 17,
  hcDispOption = 18, hcDispHelp = 19, hcSetOption = 20, hcGetOption = 21,
  hcGetCurrentLine = 22, hcSetNextLine = 23, hcInputButton = 24, hcExecLine = 25,
  hcEcvt = 26, hcFcvt = 27, hcAsin = 29, hcAcos = 30, hcSinh = 31, hcCosh = 32,
  hcTanh = 33,
};

// The window side of the commands.
class HostSide {
public:
  virtual ~HostSide() = default;
  virtual void ShowButton(int32_t n) = 0;
  // A change to a button was refused: the calculator file would grow past
  // what opens again (kButtonTooLargeText).
  virtual void RefuseTooLarge() = 0;
  virtual void RefreshButtons() = 0;
  virtual void ApplyStayOnTop() = 0;
  // Raises on failure (the command then stops where it is); "" is no file
  // and saves nothing.
  virtual void SaveCalcFile(const std::u16string& path) = 0;
  // Makes the file at the absolute path current and loads it, as
  // ReadCalcFile reads it; a file it refuses is reported and changes
  // nothing.
  virtual void OpenCalcFile(const std::u16string& path) = 0;
  virtual void EditButtonData(int32_t mode) = 0;
  virtual void CopyButtonToClipboard(int32_t what) = 0;
  virtual void PasteButtonFromClipboard() = 0;
  virtual void ClearButton() = 0;
  virtual void DispOption() = 0;
  virtual void ShowHelpContents() = 0;
  // The display line at the caret, with its CR LF.
  virtual std::u16string CurrentLine() = 0;
  virtual void AdvanceDisplayLine() = 0;
  virtual void ExecCurrentLine() = 0;
  // One step of InputButton's wait: 100 ms, then the pending window events.
  // False ends the wait whatever the button and the error code say.
  virtual bool WaitStep() = 0;
};

// Everything a command reads and changes besides the window.
struct CommandContext {
  wbexe& block;       // request cells 2 and 3 in, cell 2 out; errorCode
  wsetting& setting;
  wini& buttonTable;
  int32_t& current;   // the current button, 1 to 70
  HostSide& host;
};

// Runs command n. Every exception inside is swallowed: the script then gets
// request cell 2 as it stood. Always 0.
int32_t RunHostCommand(int32_t n, CommandContext& c);

// Pieces of the commands, also used by the window side.
// LF and CR LF both become CR LF.
std::u16string NormalizeLineEnds(std::u16string_view text);
// A button colour field for a colour: "%06x", or the integer 0 (removes the
// field) for 0.
wvar ColorField(int32_t color);
// The colour of a field: "0x00" + the field through StringToColor, or
// fallback for an empty field.
int32_t ColorOfField(const wvar& field, int32_t fallback);
// Options 1 to 10 of SetOption and GetOption. StoreOption returns whether
// the value was in range and stored; ReadOption whether option exists.
bool StoreOption(wsetting& s, int32_t option, int32_t value);
bool ReadOption(const wsetting& s, int32_t option, int32_t& value);
