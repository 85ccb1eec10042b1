// TFormCalc: the main window, host window of the interpreter block, and
// the program-wide objects it creates and frees.
#pragma once

#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <string>

#include "calculator/stepticker.h"
#include "platform/api.h"
#include "ui_formcalc.h"

class QFileDialog;
class QMenu;
class TFormInput;
class TFormEdit;
class TFormPalette;
class TFormOption;
class wbexecalc;
class wbtn;
class wini;
struct wsetting;

// When the per-statement request pumps the window's events; the session's
// end nudges it. One for the program.
extern StepTicker StepPace;

class TFormCalc : public QWidget, public Ui_TFormCalc {
  Q_OBJECT

 public:
  // `programPath` is the program's own file (its folder is the program's
  // folder); `arguments` are the command line, argument 0 the program.
  TFormCalc(const QString& programPath, const QStringList& arguments);
  ~TFormCalc() override;

  // The colour FormPaint fills with; the layout copies the setting into it.
  TColor formColor = 0x984E00;
  QMenu* PMenuMain = nullptr;
  QMenu* PMenuButton = nullptr;
  // Made when first used (MakeFileDialogs), starting in dialogFolder.
  QFileDialog* OpenDialog = nullptr;
  QFileDialog* SaveDialog = nullptr;
  QString dialogFolder;

  // The window registry's handle of this window: the block's host window.
  HWND Handle() const { return handle; }
  // Set when start-up failed; the program then ends without its loop.
  bool Terminated() const { return terminated; }
  // Whether the window is the active one (a load runs the automatic program
  // at once only then).
  bool IsActive() const;

  void FormCreate();
  void FormActivate();
  void FormPaint();
  // False refuses the close.
  bool FormClose();
  // Frees what start-up made, saving nothing: a session ended before it
  // began.
  void EndWithoutSaving();
  void FormKeyDown(int key);
  void PMenuTIconClick(QObject* Sender);
  void MenuFileOpenClick();
  void MenuFileSaveAsClick();
  void MenuOptionClick();
  void MenuEditAutoProgramClick();
  void MenuHelpClick();
  void MenuAbortClick();
  void MenuExitClick();
  void MenuButtonEditClick();
  void MenuButtonCopyClick();
  void MenuButtonPasteClick();
  void MenuButtonDeleteClick();
  void MenuButtonCopyDataClick();
  void WMEndSession();
  LRESULT WMCopyData(LPARAM lParam);
  void FatalMessage(int kind);

  // Every pending window event, now.
  void ProcessMessages();
  // The per-statement pump: every few milliseconds, and always after a
  // statement that took longer, so that a stop that came meanwhile ends the
  // run before its next statement.
  void ProcessMessagesThrottled() {
    if (StepPace.Due()) ProcessMessages();
  }

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  static LRESULT WindowProc(void* context, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam);
  void SetupTitleButtons();
  void SetupMenus();
  void MakeFileDialogs();
  void KeepTopOnScreen();

  QString programPath;
  QStringList arguments;
  HWND handle = 0;
  bool terminated = false;
  bool closed = false;
  // Dragging by hand, where the window system refuses to move the window.
  bool dragging = false;
  QPoint dragOffset;

 public:
  // The help document beside the program.
  QString HelpFile;
};

// The program-wide objects.
extern TFormCalc* FormCalc;
extern TFormInput* FormInput;
extern TFormEdit* FormEdit;
extern TFormPalette* FormPalette;
extern TFormOption* FormOption;
extern wsetting* Setting;
extern wbexecalc* Block;
extern wbtn* ButtonSet;
extern wini* ButtonTable;
