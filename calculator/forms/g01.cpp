// G01: the program's start. Creates the forms in their order, runs the event
// loop until the main window closes, and shows what escapes in the
// exception box.
#include <QCoreApplication>
#include <QGuiApplication>

#include "application.h"
#include "button/fonts.h"
#include "formcalc.h"
#include "forminput.h"
#include "hooks.h"
#include "platform/qt/qtbackends.h"
#include "sessionend.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Zimro"));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Zimro"));
  try {
    RegisterFontSubstitutes();
    platform::InstallQtBackends();
    auto* form = new TFormCalc(QCoreApplication::applicationFilePath(),
                               QCoreApplication::arguments());
    if (form->Terminated()) {
      delete form;
      return 0;
    }
    FormInput = new TFormInput(form);
    CreateDialogForms();
    form->show();
    // Without a window manager nothing else activates the window, and the
    // first activation runs the automatic program.
    form->raise();
    form->activateWindow();
    InstallSessionEndSignals();
    QCoreApplication::exec();
    delete form;
    platform::RemoveQtBackends();
  } catch (...) {
    ShowException(std::current_exception());
  }
  return 0;
}
