// calcsheet: draws the calculator's main window offscreen and writes PNGs of
// it, so that a person can look at the layout: the default settings, and
// every one of the 70 buttons shown with a caption.
//
//   calcsheet [folder]      (default: the current folder)
//   writes main-default.png and main-all.png
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

#include "button/fonts.h"
#include "calculator/forms/application.h"
#include "calculator/forms/formcalc.h"

namespace {

// UTF-16LE with byte-order mark.
QByteArray Utf16File(const QString& text) {
  QByteArray out("\xFF\xFE", 2);
  for (QChar c : text) {
    out.append(static_cast<char>(c.unicode() & 0xFF));
    out.append(static_cast<char>(c.unicode() >> 8));
  }
  return out;
}

bool Shoot(const QString& calcFile, const QString& png) {
  QTemporaryDir dir;
  if (!dir.isValid()) return false;
  QFile::link(QCoreApplication::applicationDirPath() + "/libvek.so", dir.filePath("libvek.so"));
  if (!calcFile.isEmpty()) {
    QFile f(dir.filePath("zimro.ini"));
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(Utf16File(calcFile));
  }
  auto* form = new TFormCalc(dir.filePath("zimro"), {dir.filePath("zimro")});
  if (form->Terminated()) return false;
  form->show();
  QCoreApplication::processEvents();
  const bool ok = form->grab().save(png);
  form->close();
  delete form;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  RegisterFontSubstitutes();
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

  QString all = QStringLiteral(
      "ButtonDispLine1=10\r\nButtonDispLine2=4\r\nButtonDispLine3=4\r\nButtonDispLine4=4\r\n");
  for (int n = 1; n < 70; ++n) {
    all += QStringLiteral("B%1=\\1%2\\5\r\n").arg(n).arg(n <= 10 ? QStringLiteral("long %1").arg(n)
                                                                   : QString::number(n));
  }
  all += QStringLiteral("B70=\\1長い名前のボタン\\2ffffff\\3ff0000\r\n");
  bool ok = Shoot(QString(), out.filePath("main-default.png"));
  ok = Shoot(all, out.filePath("main-all.png")) && ok;
  std::printf("%s\n", ok ? "wrote main-default.png and main-all.png" : "failed");
  return ok ? 0 : 1;
}
