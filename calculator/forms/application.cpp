// application: the application object and its exception box.
#include "application.h"

#include <QMessageBox>

#include <stdexcept>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* e) {
  try {
    return QApplication::notify(receiver, e);
  } catch (...) {
    ShowException(std::current_exception());
    return true;
  }
}

QString ExceptionText(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::exception& ex) {
    return QString::fromUtf8(ex.what());
  } catch (...) {
  }
  return QString();
}

namespace {
std::function<void(const QString&)>& Hook() {
  static std::function<void(const QString&)> hook;
  return hook;
}
}  // namespace

void SetExceptionBoxHook(std::function<void(const QString&)> hook) { Hook() = std::move(hook); }

void ShowException(std::exception_ptr error) {
  if (Hook()) {
    Hook()(ExceptionText(error));
    return;
  }
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), ExceptionText(error),
                  QMessageBox::Ok);
  box.exec();
}
