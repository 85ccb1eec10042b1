// G01: the program's start. Creates the forms in their order, runs the event
// loop until the main window closes, and shows what escapes in the
// exception box.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "application.h"
#include "button/fonts.h"
#include "formcalc.h"
#include "forminput.h"
#include "hooks.h"
#include "platform/qt/qtbackends.h"
#include "sessionend.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

int Run(int argc, char** argv) {
  TApplication app(argc, argv);
  // No display name: Qt would add it to every window's title.
  QCoreApplication::setApplicationName(QStringLiteral("Zimro"));
  // Qt's own texts (file dialogs, the display's edit menu, standard buttons)
  // in Japanese like the rest of the program, whatever the user's locale.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                   QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&qtTexts);
  }
  try {
    // Before any box: start-up may show one.
    InstallSessionEndSignals();
    RegisterFontSubstitutes();
    platform::InstallQtBackends();
    auto* form = new TFormCalc(QCoreApplication::applicationFilePath(),
                               QCoreApplication::arguments());
    if (form->Terminated()) {
      delete form;
      return 0;
    }
    if (EndingBySignal()) {
      form->EndWithoutSaving();
      delete form;
      return SessionEndStatus();
    }
    FormInput = new TFormInput(form);
    CreateDialogForms();
    form->show();
    // Without a window manager nothing else activates the window, and the
    // first activation runs the automatic program.
    form->raise();
    form->activateWindow();
    QCoreApplication::exec();
    delete form;
    platform::RemoveQtBackends();
  } catch (...) {
    ShowException(std::current_exception());
  }
  return SessionEndStatus();
}

}  // namespace

int main(int argc, char** argv) {
  const int status = Run(argc, argv);
#if defined(__SANITIZE_ADDRESS__)
  // Everything of ours is freed by now. Look for leaks before exit() runs
  // the libraries' static destructors: Qt's D-Bus thread object is one, and
  // its thread's data is freed by the ending thread itself a moment after
  // the destructor's wait, so a check after it may find that data orphaned.
  __lsan_do_leak_check();
#endif
  return status;
}
