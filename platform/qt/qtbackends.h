// qtbackends: the platform layer's back ends on Qt: message boxes and MessageDlg, the
// system clipboard, synthetic input through the X Test extension, the key
// state, the screen size and the beep.
#pragma once

#include "platform/window.h"

class QWidget;

namespace platform {

// Installs every Qt back end; a QApplication must exist. A second call does
// nothing.
void InstallQtBackends();
// Puts the headless back ends back (before the QApplication goes).
void RemoveQtBackends();

// Registers a top-level widget in the window registry: its title and the
// registry's stay in step both ways (SetWindowTextW shows in the window
// system's title, setWindowTitle is what GetWindowTextW reads), message boxes
// owned by the handle are centred on the widget, and the handle is released
// when the widget is destroyed.
HWND RegisterQtWindow(QWidget* widget, WindowProc proc, void* context);

// The widget registered under the handle, or null.
QWidget* WidgetOfWindow(HWND window);

}  // namespace platform
