// sessionend: the end of the session by signal. SIGTERM, SIGHUP and SIGINT
// (how a desktop or the service manager ends a program at logout) end the
// calculator as the end of a session does: every run stops before its next
// statement, open dialogs are cancelled, InputButton's wait ends, the window
// closes and saves the current calculator file (unless the user chose to
// quit without saving), and the program ends with status 0.
#pragma once

// Installs the handlers; the event loop serves what they note, also inside
// a run or a modal dialog.
void InstallSessionEndSignals();
// Whether a signal has begun the end of the session.
bool EndingBySignal();
