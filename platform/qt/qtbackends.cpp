// qtbackends: the platform layer's back ends on Qt Widgets and X11.
#include "platform/qt/qtbackends.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/input.h"
#include "platform/qt/vkmap.h"
#include "platform/qt/xinput.h"
#include "platform/sound.h"

namespace platform {
namespace {

// ---- windows ---------------------------------------------------------------

struct QtWindow {
  QPointer<QWidget> widget;
  WindowProc proc;
  void* context;
  HWND handle = 0;
};

std::map<HWND, std::unique_ptr<QtWindow>>& QtWindows() {
  static std::map<HWND, std::unique_ptr<QtWindow>> windows;
  return windows;
}

LRESULT ForwardMessage(void* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* record = static_cast<QtWindow*>(context);
  return record->proc != nullptr ? record->proc(record->context, window, message, wParam, lParam)
                                 : 0;
}

void ShowTitle(void* context, const char16_t* title) {
  auto* record = static_cast<QtWindow*>(context);
  if (record->widget) record->widget->setWindowTitle(QString::fromUtf16(title));
}

// Hands titles set through Qt to the registry.
class TitleWatcher : public QObject {
public:
  TitleWatcher(QObject* parent, HWND handle) : QObject(parent), handle_(handle) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowTitleChange && watched == parent()) {
      const std::u16string title = static_cast<QWidget*>(watched)->windowTitle().toStdU16String();
      char16_t current[1024];
      GetWindowTextW(handle_, current, 1024);
      if (title != current) SetWindowTextW(handle_, title.c_str());
    }
    return false;
  }

private:
  HWND handle_;
};

// ---- message boxes -----------------------------------------------------------

struct ButtonSpec {
  const char16_t* label;
  int answer;
};

// A message box whose answer is the pressed button's number; Escape and the
// close box give `closeAnswer`, or are refused when it is 0.
class AnswerBox : public QMessageBox {
public:
  AnswerBox(QWidget* parent, int closeAnswer) : QMessageBox(parent), closeAnswer_(closeAnswer) {}

  int Run(const std::vector<ButtonSpec>& buttons) {
    std::vector<std::pair<QAbstractButton*, int>> answers;
    for (const ButtonSpec& spec : buttons) {
      QPushButton* button = addButton(QString::fromUtf16(spec.label), QMessageBox::ActionRole);
      answers.emplace_back(button, spec.answer);
      if (answers.size() == 1) setDefaultButton(button);
    }
    exec();
    for (const auto& [button, answer] : answers)
      if (clickedButton() == button) return answer;
    return closeAnswer_ != 0 ? closeAnswer_ : buttons.front().answer;
  }

protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Cancel)) {
      if (closeAnswer_ != 0) reject();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (closeAnswer_ == 0) {
      event->ignore();
      return;
    }
    QDialog::closeEvent(event);
  }

private:
  int closeAnswer_;
};

constexpr char16_t kOk[] = u"OK";
constexpr char16_t kCancel[] = u"キャンセル";
constexpr char16_t kYes[] = u"はい(&Y)";
constexpr char16_t kNo[] = u"いいえ(&N)";
constexpr char16_t kAbort[] = u"中止(&A)";
constexpr char16_t kRetry[] = u"再試行(&R)";
constexpr char16_t kIgnore[] = u"無視(&I)";

QWidget* OwnerWidget(HWND owner) {
  if (QWidget* widget = WidgetOfWindow(owner)) return widget;
  return QApplication::activeWindow();
}

class QtMessageBoxes : public MessageBoxBackend {
public:
  int Show(HWND owner, const std::u16string& text, const std::u16string& caption,
           UINT type) override {
    std::vector<ButtonSpec> buttons;
    int closeAnswer = 0;
    switch (type & 0x0F) {
      case MB_OKCANCEL:
        buttons = {{kOk, IDOK}, {kCancel, IDCANCEL}};
        closeAnswer = IDCANCEL;
        break;
      case 0x02:  // abort, retry, ignore
        buttons = {{kAbort, IDABORT}, {kRetry, 4}, {kIgnore, 5}};
        break;
      case MB_YESNOCANCEL:
        buttons = {{kYes, IDYES}, {kNo, IDNO}, {kCancel, IDCANCEL}};
        closeAnswer = IDCANCEL;
        break;
      case MB_YESNO:
        // Escape is a plain "no" here: nothing is lost by it.
        buttons = {{kYes, IDYES}, {kNo, IDNO}};
        closeAnswer = IDNO;
        break;
      case 0x05:  // retry, cancel
        buttons = {{kRetry, 4}, {kCancel, IDCANCEL}};
        closeAnswer = IDCANCEL;
        break;
      default:
        buttons = {{kOk, IDOK}};
        closeAnswer = IDOK;
        break;
    }
    AnswerBox box(OwnerWidget(owner), closeAnswer);
    box.setWindowTitle(QString::fromStdU16String(caption));
    box.setText(QString::fromStdU16String(text));
    box.setTextFormat(Qt::PlainText);
    switch (type & 0xF0) {
      case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
      case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
      case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
      case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
      default: break;
    }
    return box.Run(buttons);
  }

  int Dialog(const std::u16string& text, TMsgDlgType type, TMsgDlgButtons set) override {
    static const std::pair<TMsgDlgButtons, ButtonSpec> order[] = {
        {mbYes, {kYes, mrYes}},         {mbNo, {kNo, mrNo}},           {mbOK, {kOk, mrOk}},
        {mbCancel, {kCancel, mrCancel}}, {mbAbort, {kAbort, mrAbort}}, {mbRetry, {kRetry, mrRetry}},
        {mbIgnore, {kIgnore, mrIgnore}},
    };
    std::vector<ButtonSpec> buttons;
    for (const auto& [flag, spec] : order)
      if (set & flag) buttons.push_back(spec);
    if (buttons.empty()) buttons.push_back({kOk, mrOk});
    // Whatever closes the dialog without a button counts as a cancel.
    AnswerBox box(QApplication::activeWindow(), mrCancel);
    static const struct {
      const char16_t* caption;
      QMessageBox::Icon icon;
    } kinds[] = {
        {u"警告", QMessageBox::Warning},
        {u"エラー", QMessageBox::Critical},
        {u"情報", QMessageBox::Information},
        {u"確認", QMessageBox::Question},
    };
    // A custom dialog has no icon and the program's name for its caption.
    if (type >= mtWarning && type < mtCustom) {
      box.setWindowTitle(QString::fromUtf16(kinds[type].caption));
      box.setIcon(kinds[type].icon);
    } else {
      box.setWindowTitle(QCoreApplication::applicationName());
    }
    box.setText(QString::fromStdU16String(text));
    box.setTextFormat(Qt::PlainText);
    return box.Run(buttons);
  }
};

// ---- clipboard ---------------------------------------------------------------

// Qt's clipboard is the system's; on X11 this process serves what it put
// there while its event loop runs.
class QtClipboard : public ClipboardBackend {
public:
  bool Open(HWND) override { return true; }
  void Close() override {}
  bool HasText() override {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText();
  }
  std::u16string Text() override { return QGuiApplication::clipboard()->text().toStdU16String(); }
  void SetText(const std::u16string& text) override {
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
  }
  void Clear() override { QGuiApplication::clipboard()->clear(); }
};

// ---- input -------------------------------------------------------------------

class QtInput : public InputBackend {
public:
  QtInput() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
      void* display = nullptr;
      if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        display = x11->display();
      x_ = XInput::Open(display);
    }
  }

  void Key(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra) override {
    if (!x_) return InputBackend::Key(vk, scan, flags, extra);
    x_->Key(KeySymForVirtualKey(vk), (flags & KEYEVENTF_KEYUP) == 0);
  }

  void Mouse(DWORD flags, DWORD dx, DWORD dy, DWORD data, uintptr_t extra) override {
    if (!x_) return InputBackend::Mouse(flags, dx, dy, data, extra);
    if (flags & MOUSEEVENTF_MOVE) {
      if (flags & MOUSEEVENTF_ABSOLUTE) {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1, 1);
        const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
        const int x = area.x() + NormalisedToPixel(dx, area.width());
        const int y = area.y() + NormalisedToPixel(dy, area.height());
        x_->MoveTo(qRound(x * ratio), qRound(y * ratio));
      } else {
        x_->MoveBy(static_cast<int32_t>(dx), static_cast<int32_t>(dy));
      }
    }
    static const struct {
      DWORD flag;
      int button;
      bool down;
    } buttons[] = {
        {MOUSEEVENTF_LEFTDOWN, 1, true},    {MOUSEEVENTF_LEFTUP, 1, false},
        {MOUSEEVENTF_RIGHTDOWN, 3, true},   {MOUSEEVENTF_RIGHTUP, 3, false},
        {MOUSEEVENTF_MIDDLEDOWN, 2, true},  {MOUSEEVENTF_MIDDLEUP, 2, false},
    };
    for (const auto& b : buttons)
      if (flags & b.flag) x_->Button(b.button, b.down);
  }

  int Metric(int index) override {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return InputBackend::Metric(index);
    if (index == SM_CXSCREEN) return screen->geometry().width();
    if (index == SM_CYSCREEN) return screen->geometry().height();
    return 0;
  }

  bool IsKeyDown(int vk) override {
    switch (vk) {
      case VK_LBUTTON: return ButtonDown(Qt::LeftButton, 1);
      case VK_RBUTTON: return ButtonDown(Qt::RightButton, 3);
      case VK_MBUTTON: return ButtonDown(Qt::MiddleButton, 2);
      case VK_SHIFT: return Modifiers() & Qt::ShiftModifier;
      case VK_CONTROL: return Modifiers() & Qt::ControlModifier;
      case VK_MENU: return Modifiers() & Qt::AltModifier;
      default: return x_ && x_->KeyDown(KeySymForVirtualKey(vk));
    }
  }

private:
  static Qt::KeyboardModifiers Modifiers() { return QGuiApplication::queryKeyboardModifiers(); }

  bool ButtonDown(Qt::MouseButton button, int xButton) {
    if (QGuiApplication::mouseButtons() & button) return true;
    return x_ && x_->ButtonDown(xButton);
  }

  std::unique_ptr<XInput> x_;
};

// ---- sound ---------------------------------------------------------------------

// The window system's bell has neither pitch nor length to choose.
class QtSound : public SoundBackend {
public:
  void Beep(DWORD, DWORD) override { QApplication::beep(); }
};

struct Backends {
  QtMessageBoxes boxes;
  QtClipboard clipboard;
  QtInput input;
  QtSound sound;
};

std::unique_ptr<Backends>& Installed() {
  static std::unique_ptr<Backends> installed;
  return installed;
}

}  // namespace

void InstallQtBackends() {
  if (Installed()) return;
  Installed() = std::make_unique<Backends>();
  SetMessageBoxBackend(&Installed()->boxes);
  SetClipboardBackend(&Installed()->clipboard);
  SetInputBackend(&Installed()->input);
  SetSoundBackend(&Installed()->sound);
}

void RemoveQtBackends() {
  if (!Installed()) return;
  SetMessageBoxBackend(nullptr);
  SetClipboardBackend(nullptr);
  SetInputBackend(nullptr);
  SetSoundBackend(nullptr);
  Installed().reset();
}

HWND RegisterQtWindow(QWidget* widget, WindowProc proc, void* context) {
  auto record = std::make_unique<QtWindow>();
  record->widget = widget;
  record->proc = proc;
  record->context = context;
  QtWindow* raw = record.get();
  const HWND handle = RegisterWindow(ForwardMessage, raw, ShowTitle);
  raw->handle = handle;
  QtWindows()[handle] = std::move(record);
  SetWindowTextW(handle, widget->windowTitle().toStdU16String().c_str());
  widget->installEventFilter(new TitleWatcher(widget, handle));
  QObject::connect(widget, &QObject::destroyed, [handle] {
    UnregisterWindow(handle);
    QtWindows().erase(handle);
  });
  return handle;
}

QWidget* WidgetOfWindow(HWND window) {
  auto it = QtWindows().find(window);
  return it != QtWindows().end() ? it->second->widget.data() : nullptr;
}

}  // namespace platform
