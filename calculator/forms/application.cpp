// The application object and its exception box.
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

void ShowException(std::exception_ptr error) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), ExceptionText(error),
                  QMessageBox::Ok);
  box.exec();
}
