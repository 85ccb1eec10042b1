// The main window in a folder of its own: the program's folder holds
// libvek.so and the calculator file the test gives; message boxes and the
// message dialog are answered by the test.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "calculator/forms/formcalc.h"
#include "calculator/forms/forminput.h"
#include "calculator/forms/memo.h"
#include "calculator/wsetting.h"
#include "wbexecalc.h"
#include "platform/dialogs.h"
#include "platform/text.h"
#include "tests/testscope.h"

// Answers boxes and dialogs from queues and keeps what they showed.
struct ScriptedBoxes : platform::MessageBoxBackend {
  struct Box {
    std::string text;
    std::string caption;
    UINT type;
  };
  std::vector<Box> boxes;
  std::vector<std::string> dialogs;
  std::deque<int> boxAnswers;    // default IDOK
  std::deque<int> dialogAnswers;  // default mrYes
  std::function<void()> onDialog;  // runs while a dialog is up

  int Show(HWND, const std::u16string& text, const std::u16string& caption, UINT type) override {
    boxes.push_back({platform::ToUtf8(text), platform::ToUtf8(caption), type});
    if (boxAnswers.empty()) return IDOK;
    const int r = boxAnswers.front();
    boxAnswers.pop_front();
    return r;
  }
  int Dialog(const std::u16string& text, TMsgDlgType, TMsgDlgButtons) override {
    dialogs.push_back(platform::ToUtf8(text));
    if (onDialog) onDialog();
    if (dialogAnswers.empty()) return mrYes;
    const int r = dialogAnswers.front();
    dialogAnswers.pop_front();
    return r;
  }
};

// Calls `act` once, as soon as `ready` holds, from the events the window
// serves (polled every few milliseconds): a test waits for a state, never
// for a time, so a slow machine only makes it slower.
inline void WhenReady(std::function<bool()> ready, std::function<void()> act) {
  auto* poll = new QTimer(TestScope());
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout,
                   [poll, ready = std::move(ready), act = std::move(act)] {
                     if (!ready()) return;
                     poll->stop();
                     act();
                   });
  poll->start();
}

// An ASCII text as the bytes of a UTF-16LE file with byte-order mark.
inline std::string Utf16File(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

inline std::string Utf8(const std::u16string& s) { return platform::ToUtf8(s); }
inline std::u16string U16(const std::string& s) { return platform::FromUtf8(s); }

class CalcWindowTest : public testing::Test {
 protected:
  // The calculator file the window starts with; empty: none.
  virtual std::string StartFile() const { return ""; }

  // False: the test prepares the folder and calls StartWindow itself.
  virtual bool StartAtOnce() const { return true; }

  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    platform::SetMessageBoxBackend(&boxes_);
    if (!StartAtOnce()) return;
    LinkLibrary();
    if (!StartFile().empty()) WriteFile("zimro.ini", StartFile());
    StartWindow();
    ASSERT_FALSE(form_->Terminated());
  }

  void LinkLibrary() {
    const QString bin = QCoreApplication::applicationDirPath();
    ASSERT_TRUE(QFile::link(bin + "/libvek.so", dir_.filePath("libvek.so")));
  }

  // Creates the main window as start-up does, with command-line arguments
  // after the program's own path; shows it unless start-up failed.
  void StartWindow(const QStringList& args = {}) {
    form_ = new TFormCalc(dir_.filePath("zimro"), QStringList{dir_.filePath("zimro")} + args);
    if (form_->Terminated()) return;
    FormInput = new TFormInput(form_);
    form_->show();
  }

  void TearDown() override {
    CloseWindow();
    // A start-up that failed leaves its settings for the program's end; the
    // next test's window would lose them.
    if (form_ != nullptr && form_->Terminated()) {
      delete Setting;
      Setting = nullptr;
    }
    delete FormInput;
    FormInput = nullptr;
    delete form_;
    platform::SetMessageBoxBackend(nullptr);
  }

  void CloseWindow() {
    if (form_ != nullptr && form_->isVisible()) form_->close();
  }

  std::string Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }

  void WriteFile(const std::string& name, const std::string& bytes) {
    QFile f(dir_.filePath(QString::fromStdString(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }

  std::string ReadFile(const std::string& name) {
    QFile f(dir_.filePath(QString::fromStdString(name)));
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll().toStdString();
  }

  // Runs a script as the library runs a button's statement program.
  void Run(const std::string& script) {
    Block->subName = u"";
    Block->Sub(U16(script).c_str());
  }

  std::string Display() const { return Utf8(form_->MemoOut->Text()); }
  void SetDisplay(const std::string& text, int caret) {
    form_->MemoOut->SetText(U16(text));
    form_->MemoOut->SetSel(caret, 0);
  }

  QTemporaryDir dir_;
  ScriptedBoxes boxes_;
  TFormCalc* form_ = nullptr;
};
