// hooks: the routines that the main window and the request serving call in
// the units of the dialogs, the help window and the button clipboard
// commands, declared in one place.
#pragma once

#include <cstdint>

// Creates FormEdit and FormPalette at start, after FormInput.
void CreateDialogForms();
// The button editor: mode 0 the automatic program, 1 the current button.
int EditButtonData(int mode);
// Creates the option dialog into FormOption, shows it modally, frees it.
void ShowOptionDialog();
// The help window at its contents page: ShowHelpContents.
#include "helpwindow.h"
// The button menu's clipboard commands: what 0 the whole line, 1 the program.
int CopyButtonToClipboard(int what);
int PasteButtonFromClipboard();
int ClearButton();
