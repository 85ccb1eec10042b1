// helpsheet: opens the help window on every page of the help beside the
// program and writes PNGs of it, so that a person can look at the pages as
// the window draws them: the window at the page's top, then scrolled down a
// window's height at a time to the page's end.
//
//   helpsheet [folder]      (default: the current folder)
//
// Writes help-<page>-1.png, help-<page>-2.png, ... for every page. It draws
// offscreen unless QT_QPA_PLATFORM names another platform.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

#include "button/fonts.h"
#include "calculator/forms/helpwindow.h"

namespace {

int failures = 0;

void Save(QWidget* window, const QDir& out, const QString& name) {
  const QString path = out.filePath(name);
  if (!window->grab().save(path)) {
    std::fprintf(stderr, "helpsheet: cannot write %s\n", qPrintable(path));
    ++failures;
    return;
  }
  std::printf("%s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  RegisterFontSubstitutes();
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
  const QDir help(QCoreApplication::applicationDirPath() + QStringLiteral("/help"));
  const QStringList pages = help.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
  if (pages.isEmpty()) {
    std::fprintf(stderr, "helpsheet: no help under %s\n", qPrintable(help.path()));
    return 1;
  }

  THelpWindow window;
  window.resize(640, 600);
  window.Open(help.filePath(QStringLiteral("index.html")));
  QTextBrowser* browser = window.Browser();
  for (const QString& page : pages) {
    const QString base = QStringLiteral("help-") + QFileInfo(page).completeBaseName();
    browser->setSource(QUrl::fromLocalFile(help.filePath(page)));
    // The page laid out to its end and the scroll bar told, as the window's
    // event loop does while a person looks; else the pictures stop short.
    browser->document()->documentLayout()->documentSize();
    QCoreApplication::processEvents();
    QScrollBar* bar = browser->verticalScrollBar();
    for (int screen = 1;; ++screen) {
      Save(&window, out, base + QStringLiteral("-%1.png").arg(screen));
      if (bar->value() >= bar->maximum()) break;
      bar->setValue(bar->value() + bar->pageStep());
    }
  }
  return failures == 0 ? 0 : 1;
}
