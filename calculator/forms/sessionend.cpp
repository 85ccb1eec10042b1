// sessionend: SIGTERM, SIGHUP and SIGINT end the session as the window's
// close does, saving.
#include "sessionend.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstdio>

#include "formcalc.h"
#include "wbexecalc.h"
#include "runs.h"

namespace {

// The handler only writes a byte here; the event loop reads it.
int wakeFds[2] = {-1, -1};
bool ending = false;
int endStatus = 0;

extern "C" void NoteEndSignal(int) {
  const int saved = errno;
  const char byte = 1;
  (void)!write(wakeFds[1], &byte, 1);
  // The next statement's request serves the byte before the statement runs.
  StepPace.Nudge();
  errno = saved;
}

// One step towards the end, again on every tick until it is reached: a
// modal dialog or a menu is cancelled first; runs end on the held close
// request; then the window closes, which saves.
void EndStep() {
  static bool inStep = false;
  if (inStep) return;
  inStep = true;
  struct Leave {
    ~Leave() { inStep = false; }
  } leave;
  if (QWidget* popup = QApplication::activePopupWidget()) {
    popup->close();
    return;
  }
  if (QWidget* modal = QApplication::activeModalWidget()) {
    // Cancelled from the event loop rather than from inside this step, so
    // that a dialog that asks something as it closes holds no step up: its
    // question is the next step's modal dialog.
    QMetaObject::invokeMethod(
        modal,
        [modal] {
          if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            if (dialog->isVisible()) dialog->reject();
          } else {
            modal->close();
          }
        },
        Qt::QueuedConnection);
    return;
  }
  if (FormCalc == nullptr || Block == nullptr) {
    QCoreApplication::exit(0);
    return;
  }
  // During start-up (a box about a refused file) there is nothing to close
  // yet: start-up ends the program when it is done.
  if (!FormCalc->isVisible()) return;
  if (RunActive()) {
    RequestStop(erExit);
    return;
  }
  FormCalc->close();
  if (Block == nullptr) QCoreApplication::exit(0);
}

void BeginEnd() {
  char bytes[16];
  while (read(wakeFds[0], bytes, sizeof bytes) > 0) {
  }
  static QTimer* ticks = nullptr;
  if (ticks != nullptr) return;
  ending = true;
  // The close request reaches the runs at once; the rest waits for the
  // dialogs to return.
  RequestStop(erExit);
  ticks = new QTimer(qApp);
  QObject::connect(ticks, &QTimer::timeout, [] { EndStep(); });
  ticks->start(20);
}

}  // namespace

bool EndingBySignal() { return ending; }

void ReportUnsavedAtEnd(const QString& reason) {
  std::fprintf(stderr, "zimro: %s\n", reason.toUtf8().constData());
  std::fflush(stderr);
  endStatus = 1;
}

int SessionEndStatus() { return endStatus; }

void InstallSessionEndSignals() {
  if (wakeFds[0] >= 0) return;
  if (pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [] { BeginEnd(); });
  struct sigaction action = {};
  action.sa_handler = NoteEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) sigaction(signal, &action, nullptr);
}
