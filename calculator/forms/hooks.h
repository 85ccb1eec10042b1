// hooks: what the main window calls in units that other parts of the
// program build: the dialogs and the help window. Until a unit lands, its
// stand-in in hooks.cpp does nothing; each unit that lands
// removes its stand-in there.
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
// The reset request's answer: the prelude of host-command subs.
int SendPrelude();
