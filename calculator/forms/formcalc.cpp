// TFormCalc: the main window.
#include "formcalc.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSessionManager>
#include <QWindow>

#include <algorithm>
#include <new>
#include <utility>

#include "application.h"
#include "calculator/stringlist.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "forminput.h"
#include "hooks.h"
#include "wbexecalc.h"
#include "loadcalc.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/window.h"
#include "platform/qt/qtbackends.h"
#include "runs.h"
#include "sessionend.h"
#include "wbtn.h"
#include "wpalette.h"

TFormCalc* FormCalc = nullptr;
TFormInput* FormInput = nullptr;
TFormEdit* FormEdit = nullptr;
TFormPalette* FormPalette = nullptr;
TFormOption* FormOption = nullptr;
wsetting* Setting = nullptr;
wbexecalc* Block = nullptr;
wbtn* ButtonSet = nullptr;
wini* ButtonTable = nullptr;
// A pass every 4 ms answers a click or a key at once.
StepTicker StepPace(std::chrono::milliseconds(4));

namespace {

// The title buttons' tags, which their free numbers carry.
enum TitleButtonTag { tbClose = 0, tbMinimise = 2, tbStop = 3 };

// The title buttons' pictures: white figures on magenta, 12 x 11; the
// button draws the magenta transparent.
QImage TitleGlyph(int tag) {
  QImage g(12, 11, QImage::Format_RGB32);
  g.fill(qRgb(255, 0, 255));
  const QRgb white = qRgb(255, 255, 255);
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 12; ++x) {
      bool on = false;
      if (tag == tbStop) {  // stop: a hollow rectangle, its top edge two pixels thick
        on = x >= 2 && x <= 9 && y >= 1 && y <= 9 && (y <= 2 || y == 9 || x == 2 || x == 9);
      } else if (tag == tbMinimise) {  // minimise: a bar
        on = x >= 3 && x <= 8 && (y == 8 || y == 9);
      } else {  // close: an X of two-pixel strokes
        const int r = y - 2;
        on = y >= 2 && y <= 8 && (x == 2 + r || x == 3 + r || x == 9 - r || x == 8 - r);
      }
      if (on) g.setPixel(x, y, white);
    }
  }
  return g;
}

std::u16string ToU16(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                        static_cast<size_t>(s.size()));
}

}  // namespace

TFormCalc::TFormCalc(const QString& program, const QStringList& args)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      programPath(program),
      arguments(args) {
  FormCalc = this;
  setupUi(this);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(13);
  setFont(f);
  QFont gothic(QStringLiteral("ＭＳ ゴシック"));
  gothic.setPixelSize(13);
  LabelSize->setFont(gothic);
  LabelSize->adjustSize();
  MemoOut->setFont(gothic);
  LabelCaption->setFont(f);
  QPalette caption = LabelCaption->palette();
  caption.setColor(QPalette::WindowText, Qt::white);
  LabelCaption->setPalette(caption);
  LabelCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
  SetupTitleButtons();
  SetupMenus();
  // The registry and the window system's title stay in step (" - STOP").
  handle = platform::RegisterQtWindow(this, &TFormCalc::WindowProc, this);
  SetWindowTextW(handle, u"Zimro");
  // Key preview: the form sees the keys of its controls before they do.
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::commitDataRequest, this,
          [this](QSessionManager&) { Guarded([this] { WMEndSession(); }); });
  // As for every handler, an exception shows its box and the window lives on.
  Guarded([this] { FormCreate(); });
}

TFormCalc::~TFormCalc() {
  qApp->removeEventFilter(this);
  if (FormCalc == this) FormCalc = nullptr;
}

void TFormCalc::SetupTitleButtons() {
  TWButton* buttons[3] = {WSysButton1, WSysButton2, WSysButton3};
  const int tags[3] = {tbStop, tbMinimise, tbClose};
  QFont gothic(QStringLiteral("ＭＳ ゴシック"));
  gothic.setPixelSize(13);
  for (int i = 0; i < 3; ++i) {
    TWButton* b = buttons[i];
    // The button's free number carries its role, as the tag does.
    b->Index = tags[i];
    b->SetWButtonStyle(wsFlat);
    b->SetWButtonEnter(weSingle);
    b->SetSpacing(0);
    b->setFont(gothic);
    b->SetFontColor(0xFFFFFF);
    b->SetGlyph(TitleGlyph(tags[i]));
    b->SetFaceColor(formColor);
    b->OnClick = [this](QObject* sender) { PMenuTIconClick(sender); };
  }
  WSysButton1->hide();
}

void TFormCalc::SetupMenus() {
  PMenuMain = new QMenu(this);
  PMenuMain->addAction(MenuFileOpen);
  PMenuMain->addAction(MenuFileSaveAs);
  PMenuMain->addSeparator()->setObjectName(QStringLiteral("N1"));
  PMenuMain->addAction(MenuOption);
  PMenuMain->addAction(MenuEditAutoProgram);
  PMenuMain->addSeparator()->setObjectName(QStringLiteral("N2"));
  PMenuMain->addAction(MenuHelp);
  PMenuMain->addAction(MenuAbort);
  PMenuMain->addAction(MenuExit);
  PMenuButton = new QMenu(this);
  // With button editing off the copy item keeps both its separators.
  PMenuButton->setSeparatorsCollapsible(false);
  PMenuButton->addAction(MenuButtonEdit);
  PMenuButton->addSeparator()->setObjectName(QStringLiteral("N3"));
  PMenuButton->addAction(MenuButtonCopy);
  PMenuButton->addAction(MenuButtonPaste);
  PMenuButton->addAction(MenuButtonDelete);
  PMenuButton->addSeparator()->setObjectName(QStringLiteral("N4"));
  PMenuButton->addAction(MenuButtonCopyData);
  // What a handler raises (a file that cannot be saved) is shown at the
  // handler's edge, before it unwinds through the menu's own code.
  const std::pair<QAction*, void (TFormCalc::*)()> handlers[] = {
      {MenuFileOpen, &TFormCalc::MenuFileOpenClick},
      {MenuFileSaveAs, &TFormCalc::MenuFileSaveAsClick},
      {MenuOption, &TFormCalc::MenuOptionClick},
      {MenuEditAutoProgram, &TFormCalc::MenuEditAutoProgramClick},
      {MenuHelp, &TFormCalc::MenuHelpClick},
      {MenuAbort, &TFormCalc::MenuAbortClick},
      {MenuExit, &TFormCalc::MenuExitClick},
      {MenuButtonEdit, &TFormCalc::MenuButtonEditClick},
      {MenuButtonCopy, &TFormCalc::MenuButtonCopyClick},
      {MenuButtonPaste, &TFormCalc::MenuButtonPasteClick},
      {MenuButtonDelete, &TFormCalc::MenuButtonDeleteClick},
      {MenuButtonCopyData, &TFormCalc::MenuButtonCopyDataClick},
  };
  for (const auto& [item, handler] : handlers) {
    connect(item, &QAction::triggered, this,
            [this, handler = handler] { Guarded([&] { (this->*handler)(); }); });
  }
}

// The file dialogs are made when first used: making them costs more than
// the rest of start-up together.
void TFormCalc::MakeFileDialogs() {
  if (OpenDialog != nullptr) return;
  const QStringList filters{QStringLiteral("Zimroのファイル(*.ini)"),
                            QStringLiteral("すべてのファイル(*.*)")};
  OpenDialog = new QFileDialog(this);
  OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialog->setFileMode(QFileDialog::ExistingFile);
  OpenDialog->setDefaultSuffix(QStringLiteral("ini"));
  OpenDialog->setNameFilters(filters);
  SaveDialog = new QFileDialog(this);
  SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog->setFileMode(QFileDialog::AnyFile);
  SaveDialog->setDefaultSuffix(QStringLiteral("ini"));
  SaveDialog->setNameFilters(filters);
  OpenDialog->setDirectory(dialogFolder);
  SaveDialog->setDirectory(dialogFolder);
}

bool TFormCalc::IsActive() const { return isActiveWindow(); }

namespace {

// The button lines, the buttons and the settings, freed at close and on the
// fatal start-up path alike.
void FreeButtonsAndSettings() {
  delete ButtonTable;
  ButtonTable = nullptr;
  delete ButtonSet;
  ButtonSet = nullptr;
  delete Setting;
  Setting = nullptr;
}

// A file that cannot be written is reported; the window closes all the same.
// At the session's end by signal nobody may be there to answer a box.
void SaveAtClose() {
  if (!EndingBySignal()) return Guarded([] { SaveCalcFile(Setting->currentPath); });
  try {
    SaveCalcFile(Setting->currentPath);
  } catch (...) {
    ReportUnsavedAtEnd(ExceptionText(std::current_exception()));
  }
}

}  // namespace

void TFormCalc::FatalMessage(int kind) {
  // The program now ends without its loop and without the window's close,
  // which would free these: free what start-up made so far (also memory
  // for the box when memory ran out).
  delete Block;
  Block = nullptr;
  FreeButtonsAndSettings();
  const char* text = kind == 1 ? "cannot allocate memory " : "cannot system file ";
  MessageBoxA(handle, text, "Zimro", MB_ICONWARNING | MB_OK);
  terminated = true;
  QCoreApplication::exit(0);
}

void TFormCalc::FormCreate() {
  Setting = new (std::nothrow) wsetting();
  if (Setting == nullptr) return FatalMessage(1);
  const QString exeDir = QFileInfo(programPath).absolutePath();
  Setting->exeDir = ToU16(exeDir).c_str();
  if (!FileExists(ToU16(exeDir + QStringLiteral("/") + QString::fromLatin1(kLibraryName)))) {
    return FatalMessage(2);
  }
  try {
    Block = new wbexecalc(handle);
  } catch (const std::bad_alloc&) {
    return FatalMessage(1);
  } catch (const EOutOfMemory&) {
    return FatalMessage(1);
  }
  ForgetStop();
  Block->Exec(u"");
  ButtonSet = new wbtn(70, this, PMenuButton);
  Setting->busy = 0;
  Setting->abortNoSave = 0;
  Setting->execLineResult = u"";
  ButtonTable = new (std::nothrow) wini();
  if (ButtonTable == nullptr) return FatalMessage(1);
  CalcWindowPos pos;
  const StartupRead start = ReadStartupCalcFile(ToU16(exeDir), *Setting, *ButtonTable, pos);
  Setting->currentPath = start.currentPath.c_str();
  // Each refusal is reported, and start-up goes on.
  for (const CalcFileRead& refused : start.refused) Guarded([&] { ReportRefusedFile(refused); });
  ShowCalcFile(start.shownPath, pos);
  dialogFolder = exeDir;
  for (int i = 0; i < 10; ++i) {
    const QString arg = i < arguments.size() ? arguments[i] : QString();
    Block->cmdLine[i].value = ToU16(i == 0 ? programPath : arg).c_str();
  }
  // Argument 1 names the file to use, unless there is no such file; kept
  // as a full path, so that a script changing the current folder does not
  // move where it is saved.
  if (arguments.size() > 1 && !arguments[1].isEmpty()) {
    Guarded([&] { OpenCalcFile(wvar(ToU16(arguments[1]).c_str()), IfMissing::kLeave); });
  }
  HelpFile = exeDir + QStringLiteral("/help/index.html");
}

void TFormCalc::FormActivate() {
  if (Setting == nullptr || Block == nullptr) return;
  if (Setting->autoPending == 1) {
    Setting->autoPending = 0;
    RunAutoProgram();
  }
  SetMemoMargins();
}

void TFormCalc::FormPaint() {
  if (Setting == nullptr) return;
  QPainter p(this);
  const int W = width(), H = height();
  p.fillRect(0, 0, W, H, QColor(0x80, 0x80, 0x80));
  p.fillRect(0, 0, W - 1, H - 1, QColor(0xC0, 0xC0, 0xC0));
  p.fillRect(1, 1, W - 2, H - 2,
             QColor(formColor & 0xFF, (formColor >> 8) & 0xFF, (formColor >> 16) & 0xFF));
}

bool TFormCalc::FormClose() {
  if (RunActive()) {
    RequestStop(erExit);
    return false;
  }
  if (closed || Setting == nullptr) return true;
  delete Block;
  Block = nullptr;
  if (Setting->abortNoSave == 0) SaveAtClose();
  FreeButtonsAndSettings();
  delete FormPalette;
  FormPalette = nullptr;
  closed = true;
  return true;
}

void TFormCalc::EndWithoutSaving() {
  if (Setting != nullptr) Setting->abortNoSave = 1;
  FormClose();
}

void TFormCalc::FormKeyDown(int key) {
  if (Setting == nullptr || Block == nullptr) return;
  if (key == Qt::Key_Pause) RequestStop(erStop);
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && Setting->busy == 0) ExecCurrentLine();
  if (key == Qt::Key_Insert) MemoOut->SetText(u"");
  if (key == Qt::Key_F1) ShowHelpContents();
}

void TFormCalc::PMenuTIconClick(QObject* Sender) {
  if (Block == nullptr) return;
  const int tag = static_cast<TWButton*>(Sender)->Index;
  if (tag == tbStop) {
    if (Block->state == rsPaused) {
      Block->state = rsRunning;
    } else {
      RequestStop(erStop);
    }
    ProcessMessages();
  } else if (tag == tbMinimise) {
    showMinimized();
  } else if (tag == tbClose) {
    RequestStop(erStop);
    ProcessMessages();
    close();
  }
}

void TFormCalc::MenuFileOpenClick() {
  if (Setting == nullptr) return;
  MakeFileDialogs();
  if (OpenDialog->exec() != QDialog::Accepted) return;
  const QStringList files = OpenDialog->selectedFiles();
  if (files.isEmpty()) return;
  SaveCalcFile(Setting->currentPath);
  if (!OpenCalcFile(wvar(ToU16(files.first()).c_str()))) return;
  // The dialog has just closed and the window is not active again yet, but
  // it is the one the user works in: its new automatic program runs now.
  if (Setting != nullptr && Setting->autoPending == 1) {
    Setting->autoPending = 0;
    RunAutoProgram();
  }
}

void TFormCalc::MenuFileSaveAsClick() {
  if (Setting == nullptr) return;
  MakeFileDialogs();
  if (SaveDialog->exec() != QDialog::Accepted) return;
  const QStringList files = SaveDialog->selectedFiles();
  if (files.isEmpty()) return;
  const wvar chosen(ToU16(files.first()).c_str());
  // A file that cannot be saved raises before it becomes current: the
  // close then saves where the session was saved before.
  SaveCalcFile(chosen);
  Setting->currentPath = chosen;
}

void TFormCalc::MenuOptionClick() {
  ShowOptionDialog();
  MemoOut->setFocus();
}

void TFormCalc::MenuEditAutoProgramClick() { EditButtonData(0); }
void TFormCalc::MenuHelpClick() { ShowHelpContents(); }

void TFormCalc::MenuAbortClick() {
  if (Setting != nullptr) Setting->abortNoSave = 1;
  close();
}

void TFormCalc::MenuExitClick() { close(); }
void TFormCalc::MenuButtonEditClick() { EditButtonData(1); }
void TFormCalc::MenuButtonCopyClick() { CopyButtonToClipboard(0); }
void TFormCalc::MenuButtonPasteClick() { PasteButtonFromClipboard(); }
void TFormCalc::MenuButtonDeleteClick() { ClearButton(); }
void TFormCalc::MenuButtonCopyDataClick() { CopyButtonToClipboard(1); }

void TFormCalc::WMEndSession() {
  if (Setting != nullptr) SaveCalcFile(Setting->currentPath);
}

LRESULT TFormCalc::WMCopyData(LPARAM lParam) {
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (copy != nullptr && copy->dwData == 1 && Block != nullptr) Block->HandleRequest();
  return 1;
}

LRESULT TFormCalc::WindowProc(void* context, HWND, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_COPYDATA) return 0;
  return static_cast<TFormCalc*>(context)->WMCopyData(lParam);
}

void TFormCalc::ProcessMessages() { QCoreApplication::processEvents(); }

bool TFormCalc::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) {
    const bool handled = QWidget::event(e);
    FormActivate();
    return handled;
  }
  return QWidget::event(e);
}

bool TFormCalc::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  if (static_cast<QWidget*>(watched)->window() != this) return false;
  const int key = static_cast<QKeyEvent*>(e)->key();
  // The four keys the form acts on mean nothing to the display, so they end
  // here and never reach the form a second time on their way up; Enter is
  // not the display's either.
  if (key != Qt::Key_Pause && key != Qt::Key_Return && key != Qt::Key_Enter &&
      key != Qt::Key_Insert && key != Qt::Key_F1) {
    return false;
  }
  FormKeyDown(key);
  return true;
}

void TFormCalc::paintEvent(QPaintEvent*) { FormPaint(); }

void TFormCalc::closeEvent(QCloseEvent* e) {
  if (FormClose()) {
    e->accept();
  } else {
    e->ignore();
  }
}

void TFormCalc::KeepTopOnScreen() {
  const QScreen* s = screen();
  const int screenTop = s != nullptr ? s->geometry().top() : 0;
  if (y() < screenTop) move(x(), screenTop);
}

void TFormCalc::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  if (!dragging) KeepTopOnScreen();
}

void TFormCalc::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
  QWindow* w = windowHandle();
  if (w != nullptr && w->startSystemMove()) return;
  dragging = true;
  dragOffset = e->globalPosition().toPoint() - pos();
}

void TFormCalc::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging) return QWidget::mouseMoveEvent(e);
  QPoint p = e->globalPosition().toPoint() - dragOffset;
  const QScreen* s = screen();
  const int screenTop = s != nullptr ? s->geometry().top() : 0;
  if (p.y() < screenTop) p.setY(screenTop);
  move(p);
}

void TFormCalc::mouseReleaseEvent(QMouseEvent* e) {
  if (!dragging) return QWidget::mouseReleaseEvent(e);
  dragging = false;
  KeepTopOnScreen();
}

void TFormCalc::contextMenuEvent(QContextMenuEvent* e) { PMenuMain->popup(e->globalPos()); }
