// The host and system built-ins, run as scripts through the headless host.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/clipboard.h"
#include "platform/heap.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "platform/text.h"
#include "tests/interpreter/script_cases.h"
#include "tools/vekhost.h"

namespace {

using namespace std::string_literals;

class SystemBuiltins : public ScriptFolderTest {
protected:
  void SetUp() override {
    platform::ClearRecordedInput();
    ScriptFolderTest::SetUp();
  }
};

TEST_F(SystemBuiltins, ClsClearsTheDisplayWithOrWithoutParentheses) {
  EXPECT_EQ(Run("PRINT \"a\"\nCLS\nPRINT \"[\", CLS(), \"]\""), "a\x1b*[\x1b*]");
}

TEST_F(SystemBuiltins, BeepSoundsAndYieldsTheEmptyText) {
  struct Recording : platform::SoundBackend {
    int count = 0;
    DWORD frequency = 0, length = 0;
    void Beep(DWORD f, DWORD ms) override { ++count, frequency = f, length = ms; }
  } sound;
  platform::SetSoundBackend(&sound);
  std::string out = Run("PRINT \"[\", BEEP, \"]\"\nBEEP()");
  platform::SetSoundBackend(nullptr);
  EXPECT_EQ(out, "[]");
  EXPECT_EQ(sound.count, 2);
  EXPECT_EQ(sound.frequency, 2400u);
  EXPECT_EQ(sound.length, 100u);
}

TEST_F(SystemBuiltins, MsgShowsTheFirstArgumentAndGivesTheAnswer) {
  EXPECT_EQ(Run("PRINT MSG(\"続けますか\", \"dropped\")"), "1");
  EXPECT_EQ(Errors(), "続けますか\n");
}

TEST(SystemBuiltinsNo, MsgAnsweredNoGivesZero) {
  HeadlessHost::Options options;
  options.answerNo = true;
  HeadlessHost host(options);
  host.RunUtf8("PRINT MSG(12)");
  EXPECT_EQ(host.output(), "0");
  EXPECT_EQ(host.errors(), "12\n");
}

TEST_F(SystemBuiltins, CallRunsAFileInTheSameBlock) {
  Put("empty.vek", "");
  Put("value.vek", "RETURN(6 * 7)");
  Put("global.vek", "DIM g\ng = \"set inside\"");
  Put("wide.vek", "\xFF\xFE" "P\0R\0I\0N\0T\0 \0\"\0\xE5\x65\x2C\x67\"\0"s);  // PRINT "日本"
  Put("ansi.vek", "PRINT \"\x93\xFA\x96\x7B\"");                         // the same in CP932
  EXPECT_EQ(Run("PRINT CALL(\"empty.vek\"), \"|\", CALL(\"value.vek\")"), "0|42");
  EXPECT_EQ(Run("CALL(\"global.vek\")\nPRINT g"), "set inside");
  EXPECT_EQ(Run("CALL(\"wide.vek\")\nCALL(\"ansi.vek\")"), "日本日本");
  EXPECT_EQ(Errors(), "");
}

TEST_F(SystemBuiltins, ErrorInsideACalledFileIsReportedOnceWithItsLine) {
  Put("err.vek", "PRINT 1\nPRINT nosuchname\nPRINT 3");
  EXPECT_EQ(Run("PRINT \"a\"\nPRINT CALL(\"err.vek\")\nPRINT \"after\""), "a1");
  EXPECT_EQ(Errors(), "\n) 2 NOSUCHNAME: undefined error\n");
  EXPECT_EQ(Status(), 1);
}

TEST_F(SystemBuiltins, CallOfAMissingFileIsAFileError) {
  EXPECT_EQ(Run("PRINT CALL(\"missing.vek\")\nPRINT \"after\""), "");
  EXPECT_NE(Errors().find(": file error"), std::string::npos) << Errors();
  EXPECT_EQ(Status(), 1);
}

TEST_F(SystemBuiltins, CallSubRunsCodeAndPassesItsResult) {
  EXPECT_EQ(Run("PRINT CALLSUB(\"PRINT 1\nRETURN(2)\"), \"|\", CALLSUB(\"\")"), "12|0");
}

TEST_F(SystemBuiltins, EndOrExitInsideANestedRunStopsTheCaller) {
  struct Case {
    const char* script;
    int32_t code;
  } cases[] = {
      {"PRINT \"a\"\nCALLSUB(\"END\")\nPRINT \"b\"", 12},
      {"PRINT \"a\"\nCALLSUB(\"EXIT\")\nPRINT \"b\"", 11},
      {"PRINT \"a\"\nCALC(CALLSUB(\"END\"))\nPRINT \"b\"", 12},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.script), "a") << c.script;
    EXPECT_EQ(Errors(), "") << c.script;
    EXPECT_EQ(Status(), 1) << c.script;
    EXPECT_EQ(host_->lastErrorCode(), c.code) << c.script;
  }
}

TEST_F(SystemBuiltins, ErrorsInsideCallSubAndCalcAreReportedOnceUnderTheirNames) {
  EXPECT_EQ(Run("CALLSUB(\"PRINT 1\nPRINT missing\")\nPRINT \"after\""), "1");
  EXPECT_EQ(Errors(), "\nCALLSUB 2 MISSING: undefined error\n");
  EXPECT_EQ(Run("PRINT CALC(\"1/0\")\nPRINT \"after\""), "");
  EXPECT_EQ(Errors(), "\nCALC 1: arithmetic error\n");
}

TEST_F(SystemBuiltins, CalcGivesTheValueOfAnExpression) {
  EXPECT_EQ(Run("DIM x\nx = 4\nPRINT CALC(\"1+2\"), \"|\", CALC(\"x * 2\"), \"|\", CALC(\"\")"),
            "3|8|0");
}

TEST_F(SystemBuiltins, RunStartsAProgramAndWaitsWhenAskedTo) {
  EXPECT_EQ(Run("PRINT RUN(\"/bin/sh\", \"-c \\\"echo x > out.txt\\\"\", 1)"), "1");
  EXPECT_EQ(Bytes("out.txt"), "x\n");
}

TEST_F(SystemBuiltins, RunOfNothingStartableGivesZero) {
  EXPECT_EQ(Run("PRINT RUN(\"no-such-program\"), RUN(\"./missing\", \"a\", 1), RUN(\"\")"), "000");
  EXPECT_EQ(Errors(), "");
}

TEST_F(SystemBuiltins, RunWithoutArgumentsIsASystemError) {
  EXPECT_EQ(Run("RUN()\nPRINT \"after\""), "");
  EXPECT_NE(Errors().find(": system error"), std::string::npos) << Errors();
  EXPECT_EQ(Status(), 1);
}

TEST_F(SystemBuiltins, Wait) {
  EXPECT_EQ(Run("PRINT \"[\", WAIT(0), \"]\""), "[]");
  EXPECT_EQ(Run("WAIT(-1)\nPRINT \"after\""), "");
  EXPECT_EQ(Errors(), "\n 1: arithmetic error\n");
}

TEST_F(SystemBuiltins, CommandLineCells) {
  host_->block()->cmdLine[0].value = u"first.zmr";
  host_->block()->cmdLine[9].value = u"last";
  EXPECT_EQ(Run("PRINT COMMANDLINE(0), \"|\", COMMANDLINE(9)"), "first.zmr|last");
  for (const char* index : {"10", "-1"}) {
    EXPECT_EQ(Run(std::string("PRINT COMMANDLINE(") + index + ")"), "") << index;
    EXPECT_NE(Errors().find(": syntax error"), std::string::npos) << index << Errors();
  }
}

TEST_F(SystemBuiltins, KeysAreSentAndTheArgumentIsTheValue) {
  EXPECT_EQ(Run("PRINT KEYDOWN(65), \"|\", KEYUP(321)"), "65|321");
  const auto& events = platform::RecordedInput();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_FALSE(events[0].mouse);
  EXPECT_EQ(events[0].vk, 65);
  EXPECT_EQ(events[0].flags, 0u);
  EXPECT_EQ(events[1].vk, 65);  // low 8 bits of 321
  EXPECT_EQ(events[1].flags, KEYEVENTF_KEYUP);
}

TEST_F(SystemBuiltins, MouseMoveScalesPixelsToTheAbsoluteSpan) {
  struct Case {
    const char* args;
    const char* last;
    DWORD dx;
    DWORD dy;
  } cases[] = {
      {"960, 0", "0", 32768, 0},
      {"1920, 1080", "1080", 65537, 65537},
      {"-1, 540", "540", static_cast<DWORD>(-34), 32768},
      // 40000 * 65537 wraps to -1673487296 in 32 bits.
      {"40000, 0", "0", static_cast<DWORD>(-871607), 0},
  };
  for (const auto& c : cases) {
    platform::ClearRecordedInput();
    EXPECT_EQ(Run(std::string("PRINT MOUSEMOVE(") + c.args + ")"), c.last) << c.args;
    const auto& events = platform::RecordedInput();
    ASSERT_EQ(events.size(), 1u) << c.args;
    EXPECT_TRUE(events[0].mouse);
    EXPECT_EQ(events[0].flags, 0x8001u);
    EXPECT_EQ(events[0].dx, c.dx) << c.args;
    EXPECT_EQ(events[0].dy, c.dy) << c.args;
  }
}

TEST_F(SystemBuiltins, MouseMoveOnAScreenWithoutSizeSendsZero) {
  struct NoScreen : platform::InputBackend {
    DWORD dx = 1;
    void Mouse(DWORD, DWORD x, DWORD, DWORD, uintptr_t) override { dx = x; }
    int Metric(int) override { return 0; }
  } screen;
  platform::SetInputBackend(&screen);
  std::string out = Run("PRINT MOUSEMOVE(100, 100)");
  platform::SetInputBackend(nullptr);
  EXPECT_EQ(out, "100");
  EXPECT_EQ(screen.dx, 0u);
}

TEST_F(SystemBuiltins, MouseButtons) {
  EXPECT_EQ(Run("PRINT MOUSEDOWN(0), MOUSEUP(0), MOUSEDOWN(1), MOUSEUP(1), MOUSEDOWN(2), "
                "MOUSEUP(2), MOUSEDOWN(3), MOUSEUP(-1)"),
            "0011223-1");
  const auto& events = platform::RecordedInput();
  ASSERT_EQ(events.size(), 6u);
  const DWORD flags[] = {0x02, 0x04, 0x08, 0x10, 0x20, 0x40};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_TRUE(events[i].mouse);
    EXPECT_EQ(events[i].flags, flags[i]) << i;
    EXPECT_EQ(events[i].dx, 0u);
  }
}

TEST_F(SystemBuiltins, ClipboardRoundTripInBothFormats) {
  EXPECT_EQ(Run("PRINT \"[\", GETCLIPBOARD, \"]\""), "[]");
  EXPECT_EQ(Run("PRINT SETCLIPBOARD(\"abc\"), GETCLIPBOARD()"), "1abc");
  ASSERT_TRUE(OpenClipboard(host_->window()));
  HGLOBAL wide = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(wide))), u"abc");
  GlobalUnlock(wide);
  HGLOBAL ansi = GetClipboardData(CF_TEXT);
  ASSERT_NE(ansi, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(ansi))), "abc");
  GlobalUnlock(ansi);
  CloseClipboard();
  EXPECT_EQ(Run("SETCLIPBOARD(\"日本語\")\nPRINT GETCLIPBOARD"), "日本語");
}

TEST_F(SystemBuiltins, ClipboardThatCannotBeOpenedIsLeftAlone) {
  Run("SETCLIPBOARD(\"kept\")");
  ASSERT_TRUE(OpenClipboard(999));  // held by someone else
  EXPECT_EQ(Run("PRINT SETCLIPBOARD(\"lost\"), \"[\", GETCLIPBOARD, \"]\""), "0[]");
  CloseClipboard();
  EXPECT_EQ(Run("PRINT GETCLIPBOARD"), "kept");
}

TEST_F(SystemBuiltins, ScreenAndDispProgramGoToTheHost) {
  long before = host_->requests(rqControl);
  EXPECT_EQ(Run("PRINT SCREEN(3, 4)"), "4");
  EXPECT_EQ(host_->requests(rqControl), before + 1);
  EXPECT_EQ(host_->block()->request[2].value.AsInt(), 3);
  EXPECT_EQ(host_->block()->request[3].value.AsInt(), 4);
  EXPECT_EQ(Run("DISPPROGRAM(7)"), "");
  EXPECT_EQ(host_->block()->request[1].value.AsInt(), ccDispProgram);
  EXPECT_EQ(host_->block()->request[2].value.AsInt(), 7);
  EXPECT_EQ(Run("PRINT DISPPROGRAM(8, 9)"), "9");
}

TEST_F(SystemBuiltins, TooFewArgumentsAreAVariableError) {
  for (const char* call : {"MSG()", "CALL", "CALLSUB()", "CALC()", "WAIT()", "COMMANDLINE()",
                           "KEYDOWN()", "KEYUP", "MOUSEMOVE(1)", "MOUSEDOWN()", "MOUSEUP()",
                           "SETCLIPBOARD()", "SCREEN(1)", "DISPPROGRAM()"}) {
    EXPECT_EQ(Run(std::string("PRINT ") + call + "\nPRINT \"after\""), "") << call;
    EXPECT_NE(Errors().find(": variable error"), std::string::npos) << call << Errors();
    EXPECT_EQ(Status(), 1) << call;
  }
  EXPECT_TRUE(platform::RecordedInput().empty());
}

}  // namespace
