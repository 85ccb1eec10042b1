// The prelude and the host commands through the interpreter library, with a
// small host that serves printing, resets and commands the way the
// calculator does, and a window side that only records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calculator/commandtable.h"
#include "calculator/prelude.h"
#include "calculator/stringlist.h"
#include "interpreter/wbexe.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {

class RecordingSide : public HostSide {
public:
  std::vector<std::string> log;
  void ShowButton(int32_t n) override { log.push_back("show " + std::to_string(n)); }
  void RefuseTooLarge() override { log.push_back("too large"); }
  void RefreshButtons() override { log.push_back("refresh"); }
  void ApplyStayOnTop() override { log.push_back("stayontop"); }
  void SaveCalcFile(const std::u16string& p) override { log.push_back("save " + platform::ToUtf8(p)); }
  void OpenCalcFile(const std::u16string& p) override { log.push_back("open " + platform::ToUtf8(p)); }
  void EditButtonData(int32_t) override { log.push_back("edit"); }
  void CopyButtonToClipboard(int32_t) override {}
  void PasteButtonFromClipboard() override {}
  void ClearButton() override {}
  void DispOption() override {}
  void ShowHelpContents() override {}
  std::u16string CurrentLine() override { return u"1+1\r\n"; }
  void AdvanceDisplayLine() override {}
  void ExecCurrentLine() override { log.push_back("execline"); }
  bool WaitStep() override { return true; }
};

class ScriptHost : public testing::Test {
protected:
  void SetUp() override {
    ApplyLoadDefaults(setting_);
    for (int i = 0; i < 71; ++i) table_.AddLine(wvar(u""));
    window_ = platform::RegisterWindow(&ScriptHost::Proc, this);
    block_ = new wbexe(window_);
    ASSERT_NE(block_->library, nullptr) << "libvek.so not found beside the test";
    block_->Exec(u"");
  }
  void TearDown() override {
    delete block_;
    platform::UnregisterWindow(window_);
  }

  // Runs a script and returns what it printed.
  std::string Run(const std::u16string& script) {
    output_.clear();
    block_->subName = u"";
    status_ = block_->Sub(script.c_str());
    return output_;
  }

  static LRESULT Proc(void* context, HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_COPYDATA || lParam == 0) return 0;
    if (reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData != 1) return 1;
    auto* self = static_cast<ScriptHost*>(context);
    wbexe& b = *self->block_;
    switch (b.request[0].AsInt()) {
      case rqPrint: self->output_ += platform::ToUtf8(b.request[1].AsString()); break;
      case rqControl:
        if (b.request[1].AsInt() == ccReset) {
          ++self->resets_;
          SendPrelude(b);
        }
        break;
      case rqCommand: {
        CommandContext c{b, self->setting_, self->table_, self->current_, self->side_};
        RunHostCommand(b.request[1].AsInt(), c);
        break;
      }
      default: break;
    }
    return 1;
  }

  HWND window_ = 0;
  wbexe* block_ = nullptr;
  wsetting setting_;
  wini table_;
  int32_t current_ = 1;
  RecordingSide side_;
  std::string output_;
  int32_t status_ = 0;
  int resets_ = 0;
};

TEST_F(ScriptHost, PreludeDefinesAnsAndTheSubs) {
  EXPECT_EQ(resets_, 1);
  EXPECT_EQ(Run(u"print Ans"), "0");
  EXPECT_EQ(status_, 2);
  EXPECT_EQ(Run(u"SetButton(99)\nprint GetButton()"), "70");
  EXPECT_EQ(Run(u"SetButton(0)\nprint GetButton()"), "1");
  EXPECT_EQ(Run(u"SetButton(12)\nSetButtonLabel(\"a\" + chr(10) + \"b\")\nprint GetButtonLabel()"),
            "a\r\nb");
  EXPECT_EQ(table_.list->Get(12), u"\\1a\r\nb");
  EXPECT_EQ(Run(u"SetButtonColor(255)\nprint GetButtonColor()"), "255");
  EXPECT_EQ(Run(u"SetButtonColor(0)\nprint GetButtonColor()"), "0");
  EXPECT_EQ(Run(u"print fcvt(2, 5) + \"|\" + fcvt(2.5, 5)"), "2|2.5");
  EXPECT_EQ(Run(u"print ecvt(1234.5, 3)"), "1.23450000000000e+003");
  EXPECT_EQ(Run(u"print ExecLine() + \"|\" + GetCurrentLine()"), "|1+1\r\n");
  EXPECT_EQ(Run(u"print #cmd(28, 5) + #cmd(40, 6)"), "11");
  EXPECT_EQ(Run(u"SetOption(3, 11)\nSetOption(9, 8)\nprint GetOption(3) + GetOption(9)"), "8");
  EXPECT_EQ(Run(u"print GetOption(11)"), "11");
  EXPECT_EQ(Run(u"print tanh(0)"), "0");
}

TEST_F(ScriptHost, PreludeIsSentAgainAfterNew) {
  EXPECT_EQ(Run(u"Ans = 3\nprint Ans"), "3");
  EXPECT_EQ(Run(u"NEW\nprint Ans\nSetButton(5)\nprint GetButton()"), "05");
  EXPECT_EQ(resets_, 2);
  EXPECT_EQ(Run(u"print Ans"), "0");
}

}  // namespace
