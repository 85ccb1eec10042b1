// dialogsheet: shows the calculator's three dialogs (button editor, option
// dialog, colour palette) over a real main window with a small calculator
// file, and writes a PNG of each one's client area, so that a person can
// look at them beside their form descriptions.
//
//   dialogsheet [folder]      (default: the current folder)
//
// Writes edit.png, edit-auto.png, option.png, palette.png and
// palette-user.png. It draws offscreen unless QT_QPA_PLATFORM names
// another platform.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "button/fonts.h"
#include "calculator/forms/formcalc.h"
#include "calculator/forms/formedit.h"
#include "calculator/forms/formoption.h"
#include "calculator/forms/hooks.h"
#include "calculator/forms/wbtn.h"
#include "calculator/forms/wpalette.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"

namespace {

QString out;
int failures = 0;

void Save(QWidget* w, const char* name) {
  const QString path = QDir(out).filePath(QString::fromLatin1(name));
  if (!w->grab().toImage().save(path)) {
    std::fprintf(stderr, "dialogsheet: cannot write %s\n", qPrintable(path));
    ++failures;
    return;
  }
  std::printf("%s\n", qPrintable(path));
}

// Runs `step` once the next modal loop has started.
void Later(std::function<void()> step) { QTimer::singleShot(50, std::move(step)); }

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Zimro"));
  RegisterFontSubstitutes();
  out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

  QTemporaryDir dir;
  QFile::link(QCoreApplication::applicationDirPath() + "/libvek.so", dir.path() + "/libvek.so");
  {
    wini file;
    // The option dialog's lists at their widest values.
    for (const char16_t* l : {u"B11=\\1Sin\\20000ff\\3c0ffc0\\5530069006e00",
                              u"FormColor=10000000", u"ButtonDispLine1=10",
                              u"DispFontSize=36"})
      file.AddLine(wvar(l));
    file.SaveFile(wvar((dir.path() + "/zimro.ini").toStdU16String().c_str()));
  }
  auto* form = new TFormCalc(dir.path() + "/zimro", {dir.path() + "/zimro"});
  if (form->Terminated()) return 1;
  CreateDialogForms();
  form->show();
  // The automatic program, set after the load so that it does not run.
  ButtonTable->SetField(0, 5, wvar(u"DIM n = 0\r\nPRINT \"ready\""));

  ButtonSet->current = 11;
  Later([] {
    FormEdit->MemoOut->SetText(u"Ans = Sin(Ans)\r\n\tPRINT Ans");
    Save(FormEdit, "edit.png");
    FormEdit->MemoOut->document()->setModified(false);
    FormEdit->Button2->click();
  });
  EditButtonData(1);
  Later([] {
    Save(FormEdit, "edit-auto.png");
    FormEdit->Button2->click();
  });
  EditButtonData(0);

  Later([] {
    Save(FormOption, "option.png");
    FormOption->Button2->click();
  });
  ShowOptionDialog();

  FormPalette->selColor = 0x0040FF;
  Later([] {
    // The gray marks follow the focus, which only an active window has.
    FormPalette->activateWindow();
    for (int i = 0; i < 100 && !FormPalette->isActiveWindow(); ++i) QApplication::processEvents();
    FormPalette->EditMix2->setFocus(Qt::TabFocusReason);
    Save(FormPalette, "palette.png");
    FormPalette->ButtonUser->click();
    Save(FormPalette, "palette-user.png");
    FormPalette->ButtonCancel->click();
  });
  FormPalette->Execute();

  Setting->abortNoSave = 1;
  form->close();
  delete form;
  return failures == 0 ? 0 : 1;
}
