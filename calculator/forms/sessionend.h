// sessionend: the end of the session by signal. SIGTERM, SIGHUP and SIGINT
// (how a desktop or the service manager ends a program at logout) end the
// calculator as the end of a session does: every run stops before its next
// statement, open dialogs are cancelled, InputButton's wait ends, the window
// closes and saves the current calculator file (unless the user chose to
// quit without saving), and the program ends with status 0. That end waits
// for nobody: a file that cannot be saved is reported on standard error,
// not in a box, and the program then ends with status 1.
#pragma once

#include <QString>

// Installs the handlers; the event loop serves what they note, also inside
// a run or a modal dialog, and inside a box that start-up shows. A signal
// that comes during start-up ends the program once start-up is done,
// without saving: the session has changed nothing yet.
void InstallSessionEndSignals();
// Whether a signal has begun the end of the session.
bool EndingBySignal();
// The save at that end failed, for the reason given (which names the file).
void ReportUnsavedAtEnd(const QString& reason);
// The program's exit status: 1 when the end of the session could not save.
int SessionEndStatus();
