#include "calculator/commandtable.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "calculator/errors.h"
#include "calculator/stringlist.h"
#include "interpreter/wbexe.h"
#include "platform/text.h"
#include "testtext.h"

namespace {

using Log = std::vector<std::string>;

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// Records what a command asks of the window.
class FakeHost : public HostSide {
public:
  Log log;
  std::u16string line = u"2+3\r\n";
  bool failSave = false;
  // Returns whether the wait may go on (false: the window ends it).
  std::function<bool(int step)> onWait;
  int waits = 0;

  void ShowButton(int32_t n) override { log.push_back("show " + std::to_string(n)); }
  void RefuseTooLarge() override { log.push_back("too large"); }
  void RefreshButtons() override { log.push_back("refresh"); }
  void ApplyStayOnTop() override { log.push_back("stayontop"); }
  void SaveCalcFile(const std::u16string& path) override {
    if (failSave) throw EFCreateError("cannot create");
    log.push_back("save " + Narrow(path));
  }
  void OpenCalcFile(const std::u16string& path) override { log.push_back("open " + Narrow(path)); }
  void EditButtonData(int32_t mode) override { log.push_back("edit " + std::to_string(mode)); }
  void CopyButtonToClipboard(int32_t what) override { log.push_back("copy " + std::to_string(what)); }
  void PasteButtonFromClipboard() override { log.push_back("paste"); }
  void ClearButton() override { log.push_back("clear"); }
  void DispOption() override { log.push_back("option"); }
  void ShowHelpContents() override { log.push_back("help"); }
  std::u16string CurrentLine() override { return line; }
  void AdvanceDisplayLine() override { log.push_back("nextline"); }
  void ExecCurrentLine() override { log.push_back("execline"); }
  bool WaitStep() override {
    ++waits;
    const bool goOn = onWait ? onWait(waits) : true;
    if (waits > 1000) throw std::runtime_error("the wait never ends");
    return goOn;
  }
};

// What the script sees: the type and text of request cell 2.
std::string Shown(wcell& cell) {
  wvar v(cell.value);
  std::string kind = v.type == vtInt ? "int " : v.type == vtReal ? "real " : "text ";
  return kind + Narrow(v.AsString());
}

class HostCommandTest : public testing::Test {
protected:
  void SetUp() override {
    ApplyLoadDefaults(setting_);
    setting_.currentPath = u"/calc/zimro.ini";
    for (int i = 0; i < 71; ++i) table_.AddLine(wvar(u""));
  }

  // Runs command n with the arguments in cells 2 and 3 and returns what
  // the script receives.
  std::string Run(int32_t n, const wvar& a1 = wvar(u"first"), const wvar& a2 = wvar(0)) {
    block_->request[1].SetValue(wvar(n));
    block_->request[2].SetValue(a1);
    block_->request[3].SetValue(a2);
    CommandContext c{*block_, setting_, table_, current_, host_};
    EXPECT_EQ(RunHostCommand(n, c), 0);
    return Shown(block_->request[2]);
  }

  std::u16string Line(int n) { return table_.list->Get(n); }

  std::unique_ptr<wbexe> block_ = std::make_unique<wbexe>(HWND{});
  wsetting setting_;
  wini table_;
  int32_t current_ = 1;
  FakeHost host_;
};

TEST_F(HostCommandTest, SetButtonClampsAndGetButtonAnswers) {
  const int32_t cases[][2] = {{5, 5}, {0, 1}, {-3, 1}, {70, 70}, {99, 70}, {1, 1}};
  for (auto [given, chosen] : cases) {
    EXPECT_EQ(Run(1, wvar(given)), "int " + std::to_string(given)) << given;  // no result
    EXPECT_EQ(Run(6), "int " + std::to_string(chosen)) << given;
  }
  EXPECT_EQ(Run(1, wvar(u"12")), "text 12");
  EXPECT_EQ(current_, 12);
}

TEST_F(HostCommandTest, LabelAndProgramGetCrLfLineEnds) {
  current_ = 7;
  Run(2, wvar(u"a\nb"));
  EXPECT_EQ(Line(7), u"\\1a\r\nb");
  Run(2, wvar(u"a\r\nb\r\rc"));
  EXPECT_EQ(Line(7), u"\\1a\r\nb\rc");
  Run(3, wvar(u"x\ny"));
  EXPECT_EQ(Line(7), u"\\1a\r\nb\rc\\578000d000a007900");
  EXPECT_EQ(Run(7), "text a\r\nb\rc");
  EXPECT_EQ(Run(8), "text x\r\ny");
  EXPECT_EQ(host_.log, (Log{"show 7", "show 7", "show 7"}));
  EXPECT_EQ(Line(1), u"");  // only the current button changed
}

TEST_F(HostCommandTest, ColoursStoredAsHexAndReadBack) {
  setting_.textColor = 0x123456;
  setting_.buttonColor = 0x654321;
  current_ = 3;
  EXPECT_EQ(Run(9), "int 1193046");   // no field: the default caption colour
  EXPECT_EQ(Run(10), "int 6636321");  // and face colour
  Run(4, wvar(255));
  Run(5, wvar(0xABCDEF));
  EXPECT_EQ(Line(3), u"\\20000ff\\3abcdef");
  EXPECT_EQ(Run(9), "int 255");
  EXPECT_EQ(Run(10), "int 11259375");
  Run(4, wvar(0));
  EXPECT_EQ(Line(3), u"\\3abcdef");
  EXPECT_EQ(Run(9), "int 1193046");
  EXPECT_EQ(host_.log, (Log{"show 3", "show 3", "show 3"}));
}

TEST_F(HostCommandTest, UnreadableColourFieldLeavesTheArgument) {
  table_.list->Put(1, u"\\2zz\\3");
  EXPECT_EQ(Run(9, wvar(u"as it stood")), "text as it stood");
}

TEST_F(HostCommandTest, SaveMakesTheNewFileCurrent) {
  Run(11, wvar(u"/tmp/new.ini"));
  EXPECT_EQ(host_.log, (Log{"save /tmp/new.ini"}));
  EXPECT_EQ(Narrow(setting_.currentPath.AsString()), "/tmp/new.ini");
}

TEST_F(HostCommandTest, FailedSaveKeepsTheCurrentFile) {
  host_.failSave = true;
  EXPECT_EQ(Run(11, wvar(u"/no/such/dir/x.ini")), "text /no/such/dir/x.ini");
  EXPECT_EQ(Narrow(setting_.currentPath.AsString()), "/calc/zimro.ini");
  // Load saves first; when that fails nothing is loaded.
  Run(12, wvar(u"/tmp/other.ini"));
  EXPECT_EQ(host_.log, Log{});
  EXPECT_EQ(Narrow(setting_.currentPath.AsString()), "/calc/zimro.ini");
}

TEST_F(HostCommandTest, LoadSavesTheCurrentFileFirst) {
  Run(12, wvar(u"/tmp/other.ini"));
  EXPECT_EQ(host_.log, (Log{"save /calc/zimro.ini", "open /tmp/other.ini"}));
}

// A relative path is taken in the folder current when the command runs, so
// that a script's CHDIR afterwards does not move where the file is saved.
TEST_F(HostCommandTest, RelativePathsAreFixedWhenTheCommandRuns) {
  char folder[] = "/tmp/zimro-paths-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  const std::string here = folder;
  Run(12, wvar(u"b.ini"));
  Run(11, wvar(u"sub/c.ini"));
  const std::string current = Narrow(setting_.currentPath.AsString());
  Run(12, wvar(u"/abs/d.ini"));
  Run(11, wvar(u""));
  std::filesystem::current_path(before);
  rmdir(folder);
  EXPECT_EQ(host_.log, (Log{"save /calc/zimro.ini", "open " + here + "/b.ini",
                            "save " + here + "/sub/c.ini", "save " + here + "/sub/c.ini",
                            "open /abs/d.ini"}));
  EXPECT_EQ(current, here + "/sub/c.ini");
  // Save of no name saves nothing and keeps the current file.
  EXPECT_EQ(Narrow(setting_.currentPath.AsString()), here + "/sub/c.ini");
}

TEST_F(HostCommandTest, WindowCommandsCallTheirRoutines) {
  struct Case {
    int32_t n;
    const char* call;
  };
  const Case cases[] = {{13, "edit 1"}, {14, "copy 0"},  {15, "copy 1"}, {16, "paste"},
                        {17, "clear"},  {18, "option"}, {19, "help"},   {23, "nextline"}};
  for (const Case& c : cases) {
    host_.log.clear();
    EXPECT_EQ(Run(c.n), "text first") << c.n;
    EXPECT_EQ(host_.log, Log{c.call}) << c.n;
  }
}

struct OptionCase {
  int32_t option;
  int32_t value;
  bool stored;
};

class SetOptionTest : public HostCommandTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(SetOptionTest, StoresOnlyValuesInRange) {
  const OptionCase& c = GetParam();
  wsetting before = setting_;
  int32_t old = 0;
  bool exists = ReadOption(setting_, c.option, old);
  EXPECT_EQ(Run(20, wvar(c.option), wvar(c.value)), "int " + std::to_string(c.option));
  int32_t now = 0;
  EXPECT_EQ(ReadOption(setting_, c.option, now), exists);
  if (exists) {
    EXPECT_EQ(now, c.stored ? c.value : old);
  }
  Log expected{"refresh"};
  if (c.option == 2 && c.stored) expected.insert(expected.begin(), "stayontop");
  EXPECT_EQ(host_.log, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SetOptionTest,
    testing::Values(OptionCase{1, 0, true}, OptionCase{1, 2, false}, OptionCase{2, 1, true},
                    OptionCase{2, -1, false}, OptionCase{3, 10, true}, OptionCase{3, 11, false},
                    OptionCase{4, 4, true}, OptionCase{5, 5, false}, OptionCase{6, -1, false},
                    OptionCase{7, 129, false}, OptionCase{7, 130, true}, OptionCase{8, 29, false},
                    OptionCase{8, 30, true}, OptionCase{9, 8, true}, OptionCase{9, 7, false},
                    OptionCase{9, 36, true}, OptionCase{9, 37, false}, OptionCase{10, -5, true},
                    OptionCase{0, 1, false}, OptionCase{11, 1, false}, OptionCase{-1, 1, false}));

TEST_F(HostCommandTest, GetOptionAnswersTheField) {
  const std::pair<int, int> fields[] = {{1, 1},   {2, 0},  {3, 0},  {4, 2},       {5, 0},
                                        {6, 4},   {7, 150}, {8, 60}, {9, 11}, {10, 0x984E00}};
  for (auto [option, value] : fields) {
    EXPECT_EQ(Run(21, wvar(option)), "int " + std::to_string(value)) << option;
  }
  EXPECT_EQ(Run(21, wvar(11)), "int 11");  // no such option: its first argument
  EXPECT_EQ(Run(21, wvar(0)), "int 0");
}

TEST_F(HostCommandTest, CurrentLineAndExecLine) {
  EXPECT_EQ(Run(22), "text 2+3\r\n");
  EXPECT_EQ(Run(25, wvar(7)), "text ");
  EXPECT_EQ(host_.log, Log{"execline"});
}

TEST_F(HostCommandTest, InputButtonEndsWithAPress) {
  host_.onWait = [&](int step) {
    EXPECT_EQ(setting_.inputWait, 1);
    if (step == 3) {
      current_ = 42;
      setting_.inputWait = 0;
    }
    return true;
  };
  EXPECT_EQ(Run(24), "int 42");
  EXPECT_EQ(host_.waits, 3);
}

// What ends InputButton's wait besides a press: a stop (Pause, the stop
// button) does, the close request of the menu's exit does not, and the
// window may end it (the title strip's close button, the session's end).
struct WaitCase {
  const char* name;
  int32_t codeAtStep2;  // written into the block during the second step
  int pressAt;          // the step whose window events press button 42; 0: none
  int windowEndsAt;     // the step after which the window ends the wait; 0: never
  int waits;
  std::string answer;
  int32_t inputWait;
};

class InputButtonWaitTest : public HostCommandTest, public testing::WithParamInterface<WaitCase> {};

TEST_P(InputButtonWaitTest, Ends) {
  const WaitCase& c = GetParam();
  current_ = 9;
  host_.onWait = [&](int step) {
    if (step == 2) block_->errorCode = c.codeAtStep2;
    if (step == c.pressAt) {
      current_ = 42;
      setting_.inputWait = 0;
    }
    return step != c.windowEndsAt;
  };
  EXPECT_EQ(Run(24), c.answer);
  EXPECT_EQ(host_.waits, c.waits);
  EXPECT_EQ(setting_.inputWait, c.inputWait);
  EXPECT_EQ(block_->errorCode, c.codeAtStep2);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, InputButtonWaitTest,
    testing::Values(WaitCase{"Stop", erStop, 0, 0, 2, "int 9", 1},
                    WaitCase{"CloseRequestThenAPress", erExit, 6, 0, 6, "int 42", 0},
                    WaitCase{"CloseRequestThenTheWindowEndsIt", erExit, 0, 4, 4, "int 9", 1},
                    WaitCase{"TheWindowEndsItUnasked", erNone, 0, 3, 3, "int 9", 1}),
    [](const testing::TestParamInfo<WaitCase>& c) { return std::string(c.param.name); });

struct NumberCase {
  int32_t n;
  double a1;
  int32_t a2;
  const char* answer;
};

class NumberCommandTest : public HostCommandTest, public testing::WithParamInterface<NumberCase> {};

TEST_P(NumberCommandTest, Answer) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(Run(c.n, wvar(c.a1), wvar(c.a2)), c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumberCommandTest,
    testing::Values(NumberCase{26, 1234.5, 3, "text 1.23450000000000e+003"},
                    NumberCase{26, 0.001, 2, "text 1.00000000000000e-03"},
                    NumberCase{26, 0, 2, "text 0.00000000000000e+00"},
                    NumberCase{26, -2, 9, "text -2.00000000000000e+0"},
                    NumberCase{27, 2, 5, "text 2"}, NumberCase{27, 2.5, 5, "text 2.5"},
                    NumberCase{27, 0.5, 3, "text 0.5"}, NumberCase{27, 123.456, 0, "text 123.456"},
                    NumberCase{27, 1.0 / 3, 0, "text 0.333333333333333"},
                    NumberCase{27, -0.25, 0, "text -0.25"}, NumberCase{27, 4e-16, 0, "text 4e-16"},
                    NumberCase{27, 1e20, 3, "text 1e020"},
                    NumberCase{29, 1, 0, "real 1.5707963267949"},
                    NumberCase{30, 1, 0, "real 0"}, NumberCase{31, 0, 0, "real 0"},
                    NumberCase{32, 0, 0, "real 1"}, NumberCase{33, 1e9, 0, "real 1"}));

TEST_F(HostCommandTest, CommandsWithoutAnEntryAnswerTheirFirstArgument) {
  for (int32_t n : {0, 28, 34, 40, -1}) {
    EXPECT_EQ(Run(n, wvar(u"untouched")), "text untouched") << n;
  }
  EXPECT_EQ(host_.log, Log{});
}

TEST(LineEndsTest, LfAndCrLfBothBecomeCrLf) {
  EXPECT_EQ(Show(NormalizeLineEnds(u"a\nb\r\nc\rd")), Show(u"a\r\nb\r\nc\rd"));
  EXPECT_EQ(Show(NormalizeLineEnds(u"\n\n")), Show(u"\r\n\r\n"));
  // CR pairs are taken left to right, as one replacing pass does.
  EXPECT_EQ(Show(NormalizeLineEnds(u"a\r\r\nb")), Show(u"a\r\r\nb"));
  EXPECT_EQ(Show(NormalizeLineEnds(u"a\r\rb")), Show(u"a\rb"));
}

}  // namespace
