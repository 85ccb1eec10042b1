// Stand-ins for the units that are not there yet. Each is replaced by the
// real routine when its unit lands: delete the stand-in here.
#include "hooks.h"

#include "calculator/prelude.h"
#include "interpreter/wbexe.h"

void CreateDialogForms() {}
int EditButtonData(int) { return 0; }
void ShowOptionDialog() {}
int CopyButtonToClipboard(int) { return 0; }
int PasteButtonFromClipboard() { return 0; }
int ClearButton() { return 0; }
int32_t wbexe::Command(int32_t) { return 0; }
// The prelude already runs here, so that Ans and the command names exist.
int SendPrelude() {
  extern wbexe* Block;
  return Block->Sub(PreludeText().c_str());
}
