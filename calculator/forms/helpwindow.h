// helpwindow: the help window, a text browser on the HTML help document that
// lies beside the program, opened at its contents page.
#pragma once

#include <QMargins>
#include <QSize>
#include <QString>
#include <QWidget>

class QTextBrowser;
class QToolButton;

class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* owner = nullptr);
  ~THelpWindow() override;

  // Shows the page and brings the window to the front; false (and nothing
  // shown) when the file is not there.
  bool Open(const QString& path);
  QTextBrowser* Browser() const { return browser; }

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  // Beside the main window, wholly on the screen that shows it, fitted to
  // that screen; the frame is taken to have `frame`'s margins.
  void Place();

  QMargins frame;        // the window manager's frame, as last seen
  bool placing = false;  // placed before the window manager framed it
  QSize wanted;          // the size a person gave it, or the first one
  QSize placedSize;      // the size Place gave it
  QTextBrowser* browser;
  QToolButton* contentsButton;
  QToolButton* backButton;
  QToolButton* forwardButton;
  QString contentsPath;
};

// The one help window, made on first use; null until then.
extern THelpWindow* HelpWindow;

// The contents page: the main window's help file, or help/index.html beside
// the program when there is no main window.
QString HelpContentsPath();
// Opens the help window at the page; a missing file shows a message box
// instead. Returns 0.
int ShowHelpFile(const QString& path);
// F1, the help menu item and DispHelp.
int ShowHelpContents();
