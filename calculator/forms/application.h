// application: the application object, with the one exception box for
// every exception that leaves an event handler.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  // Delivers the event; an exception that leaves the handler is shown in the
  // exception box and the program goes on.
  bool notify(QObject* receiver, QEvent* e) override;
};

// Shows the exception box for the exception being handled (call inside a
// catch block); a foreign exception shows an empty message.
void ShowException(std::exception_ptr error);
// The text the box shows for an exception.
QString ExceptionText(std::exception_ptr error);
// Replaces the box by a function that gets its text (tests); empty restores
// the box.
void SetExceptionBoxHook(std::function<void(const QString&)> hook);

// Runs an event handler; an exception it raises goes to the exception box.
template <typename F>
void Guarded(F&& handler) {
  try {
    handler();
  } catch (...) {
    ShowException(std::current_exception());
  }
}
