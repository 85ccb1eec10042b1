// The template calculator file beside the program: it loads with every key it
// sets, its lines are canonical, and every button does what its label says
// when pressed as the calculator presses it (headless, on a display of text).
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "calculator/calcfile.h"
#include "calculator/classify.h"
#include "calculator/stringlist.h"
#include "calculator/wini.h"
#include "platform/text.h"
#include "headlesscalc.h"
#include "template_cases.h"

namespace {

const std::u16string kPath = platform::FromUtf8(ZIMRO_TEMPLATE);

std::string Utf8(const wvar& value) {
  wvar copy(value);
  return platform::ToUtf8(copy.AsString());
}

// The keys the template sets, every one with a value.
std::vector<std::string> KeysItSets() {
  std::vector<std::string> keys = {"Zimro"};
  for (int i = 0; i <= 70; ++i) {
    if (i > 20 && i < 31) continue;  // the third and fourth rows of the first block stay empty
    keys.push_back(std::string(1, 'B').append(std::to_string(i)));
  }
  for (const char* key :
       {"Top", "Left", "ButtonEditMode", "StayOnTop", "ButtonDispLine1", "ButtonDispLine2",
        "ButtonDispLine3", "ButtonDispLine4", "DispWidth", "DispHeight", "DispFontSize",
        "FormColor", "TitleColor", "TextColor", "ButtonColor", "Mix1", "Mix2", "Mix3"})
    keys.push_back(key);
  return keys;
}

// The calculator with the template loaded: its button table, the automatic
// program run, a display of text.
class TemplateCalculator : public testing::Test {
protected:
  void SetUp() override {
    CalcWindowPos pos;
    ASSERT_TRUE(ReadCalcFile(kPath, calculator_.setting, calculator_.table(), pos).loaded);
    HeadlessHost::Options options;
    options.stepLimit = 1000000;
    calculator_.AttachDisplay(options);
    options.inputLines = {};
    options.input = [this](std::u16string& line) {
      if (inputs_.empty()) return false;
      line = platform::FromUtf8(inputs_.front());
      inputs_.erase(inputs_.begin());
      return true;
    };
    host_ = std::make_unique<HeadlessHost>(options);
    host_->Run(Program(0));
    ASSERT_EQ(host_->errors(), "");
  }

  std::u16string Program(int n) {
    wvar program(calculator_.table().GetField(n, 5));
    return program.AsString();
  }
  std::string Label(int n) { return Utf8(calculator_.table().GetField(n, 1)); }
  int ButtonLabelled(const std::string& label) {
    for (int n = 1; n <= 70; ++n)
      if (Label(n) == label) return n;
    ADD_FAILURE() << "no button labelled " << label;
    return 0;
  }
  void Press(const std::vector<std::string>& labels) {
    for (const std::string& label : labels) {
      const int n = ButtonLabelled(label);
      if (n != 0) calculator_.Press(*host_, Program(n));
    }
  }
  std::string Display() const { return platform::ToUtf8(calculator_.display.text); }
  // The display's last line.
  std::string LastLine() const {
    const std::string text = Display();
    const size_t lf = text.rfind('\n');
    return lf == std::string::npos ? text : text.substr(lf + 1);
  }
  void Clear() { calculator_.display = DisplayState(); }

  HeadlessCalculator calculator_;
  std::vector<std::string> inputs_;
  std::unique_ptr<HeadlessHost> host_;
};

}  // namespace

TEST(Template, LoadsWithEveryKeyItSets) {
  wini file;
  ASSERT_EQ(file.LoadFile(wvar(kPath.c_str())), 1) << ZIMRO_TEMPLATE;
  for (const std::string& key : KeysItSets()) {
    const std::u16string name = platform::FromUtf8(key);
    EXPECT_NE(Utf8(file.ReadValue(wvar(name.c_str()))), "") << key;
  }
  // Nothing else: every line is one of those keys, written once.
  std::map<std::string, int> seen;
  for (int i = 0; i < file.list->Count(); ++i) {
    const std::string line = Utf8(file.GetLine(i));
    seen[line.substr(0, line.find('='))]++;
  }
  for (const auto& [key, count] : seen) EXPECT_EQ(count, 1) << key;
  EXPECT_EQ(seen.size(), KeysItSets().size());

  // What the calculator takes from it: ten long buttons, two rows of
  // functions, four rows of functions and the keypad, the default font size.
  wsetting setting;
  wini table;
  CalcWindowPos pos;
  ASSERT_TRUE(ReadCalcFile(kPath, setting, table, pos).loaded);
  EXPECT_EQ(setting.buttonDispLine1, 10);
  EXPECT_EQ(setting.buttonDispLine2, 2);
  EXPECT_EQ(setting.buttonDispLine3, 4);
  EXPECT_EQ(setting.buttonDispLine4, 4);
  EXPECT_EQ(setting.dispFontSize, 11);
  EXPECT_EQ(setting.buttonEditMode, 1);
  EXPECT_EQ(setting.stayOnTop, 0);
  EXPECT_NE(setting.formColor, 0x984E00) << "the template's own window colour";
}

TEST(Template, IsUtf16WithByteOrderMarkAndCrLf) {
  std::ifstream in(ZIMRO_TEMPLATE, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  const std::string bytes = s.str();
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));
}

TEST(Template, EveryButtonLineIsCanonical) {
  wsetting setting;
  wini table;
  CalcWindowPos pos;
  ASSERT_TRUE(ReadCalcFile(kPath, setting, table, pos).loaded);
  for (int i = 0; i <= 70; ++i) {
    const wvar line(table.GetLine(i));
    wvar normal(line);
    table.NormalizeLine(normal);
    EXPECT_EQ(Utf8(normal), Utf8(line)) << "B" << i;
    // Rebuilding with the fields re-coded changes nothing either (lower-case hex).
    wini one;
    one.AddLine(line);
    const wvar extra(one.GetField(0, 6));
    one.SetField(0, 6, extra);
    EXPECT_EQ(Utf8(one.GetLine(0)), Utf8(line)) << "B" << i;
  }
}

TEST(Template, ShownButtonsHaveShortLabelsAndAProgram) {
  wsetting setting;
  wini table;
  CalcWindowPos pos;
  ASSERT_TRUE(ReadCalcFile(kPath, setting, table, pos).loaded);
  auto shown = [&](int n) {
    if (n <= 10) return n <= setting.buttonDispLine1;
    const int block = (n - 11) / 20, row = (n - 11) % 20 / 5;
    const int rows[] = {setting.buttonDispLine2, setting.buttonDispLine3, setting.buttonDispLine4};
    return row < rows[block];
  };
  for (int n = 1; n <= 70; ++n) {
    wvar label(table.GetField(n, 1));
    wvar program(table.GetField(n, 5));
    if (!shown(n)) {
      EXPECT_EQ(Utf8(program), "") << "hidden button " << n << " holds a program";
      continue;
    }
    EXPECT_NE(Utf8(program), "") << n;
    const std::u16string text = label.AsString();
    EXPECT_FALSE(text.empty()) << n;
    // Long buttons take about twelve characters at the default size, short
    // ones three narrow ones or one wide one.
    EXPECT_LE(text.size(), n <= 10 ? 8u : 3u) << n << " " << Utf8(label);
  }
}

TEST_F(TemplateCalculator, AutomaticProgramPrintsNothingAndDefinesTheHelpers) {
  EXPECT_EQ(Display(), "");
  host_->Run(u"PRINT SinD(30), \" \", Log10(1000), \" \", Fact(5), \" \", Sq(3)");
  EXPECT_EQ(host_->errors(), "");
  EXPECT_EQ(Display(), "0.5 3 120 9");
}

// The automatic program's reader of answers: what INPUT leaves as text (a
// sign, a point first, full-width characters) is read when it is a whole
// number and refused with the reason when it is not.
TEST_F(TemplateCalculator, ReadNumberTakesWholeNumbersAndSaysWhyNot) {
  const struct {
    const char* answer;
    const char* shown;  // [reason|number]; the number stays 0 when refused
  } cases[] = {
      {"１２", "[|12]"},
      {"+5", "[|5]"},
      {"+.5", "[|0.5]"},
      {"5.", "[|5]"},
      {"－１．５ｅ＋２", "[|-150]"},
      {"-1.25E-3", "[|-0.00125]"},
      {"　 ７ 　", "[|7]"},
      {"", "[数が入っていません|0]"},
      {"　 ", "[数が入っていません|0]"},
      {"abc", "[「abc」は数として読めません|0]"},
      {".", "[「.」は数として読めません|0]"},
      {"-", "[「-」は数として読めません|0]"},
      {"−5", "[「−5」は数として読めません|0]"},  // U+2212, a minus sign, is no sign here
      {"１ｅ", "[「１ｅ」は数として読めません|0]"},
      {"e5", "[「e5」は数として読めません|0]"},
      {"１．２．３", "[「１．２．３」は数として読めません|0]"},
      {"--5", "[「--5」は数として読めません|0]"},
      {"１－", "[「１－」は数として読めません|0]"},
      {"1e5.0", "[「1e5.0」は数として読めません|0]"},
      {"1e+-5", "[「1e+-5」は数として読めません|0]"},
      {"0x10", "[「0x10」は数として読めません|0]"},
      {"1 000", "[「1 000」は数として読めません|0]"},
      {"１２円", "[「１２円」は数として読めません|0]"},
      {"-1e400", "[「-1e400」は大きすぎて計算できません|0]"},
  };
  for (const auto& c : cases) {
    Clear();
    host_->RunUtf8(std::string("DIM n = 0\nPRINT \"[\", ReadNumber(\"") + c.answer +
                   "\", n), \"|\", n, \"]\"");
    EXPECT_EQ(host_->errors(), "") << c.answer;
    EXPECT_EQ(Display(), c.shown) << c.answer;
  }
  // A number that INPUT has already read is taken as it is, unless it is
  // too large to compute with.
  Clear();
  host_->Run(u"DIM n = 0\nPRINT \"[\", ReadNumber(0.1 + 0.2, n), \"|\", n - 0.3, \"]\"");
  EXPECT_EQ(Display(), "[|5.55111512312578e-17]");
  Clear();
  host_->Run(u"DIM n = 0\nPRINT \"[\", ReadNumber(1e308 * 10, n), \"|\", n, \"]\"");
  EXPECT_EQ(Display(), "[数が大きすぎて計算できません|0]");
}

// Each button's kind, by the classifier: keys that type, keys that act.
TEST_F(TemplateCalculator, EachButtonIsOfItsKind) {
  const struct {
    const char* label;
    int32_t kind;
  } cases[] = {
      {"7", tkNumber},         {"0", tkNumber},        {".", tkNumber},
      {"−", tkNumber},         {"+", tkExpression},    {"×", tkExpression},
      {"÷", tkExpression},     {"(", tkExpression},    {")", tkExpression},
      {"π", tkNumber},         {"sin", tkExpression},  {"sn°", tkExpression},
      {"√", tkExpression},     {"xʸ", tkExpression},   {"log", tkExpression},
      {"n!", tkExpression},    {",", tkExpression},    {"EE", tkExpression},
      {"ans", tkExpression},   {"1/x", tkExpression},  {"=", tkExecLine},
      {"C", tkStatement},      {"±", tkStatement},     {"今日の日付", tkStatement},
      {"cm → インチ", tkStatement}, {"九九の表", tkStatement}, {"ヘルプ", tkStatement},
  };
  for (const auto& c : cases) {
    const int n = ButtonLabelled(c.label);
    if (n == 0) continue;
    EXPECT_EQ(ClassifyText(Program(n)), c.kind) << c.label;
  }
  // Every button that types is a number or an expression, never a statement
  // by accident; every long button acts.
  for (int n = 1; n <= 70; ++n) {
    const std::u16string program = Program(n);
    if (program.empty()) continue;
    const int32_t kind = ClassifyText(program);
    if (n <= 10) {
      EXPECT_EQ(kind, tkStatement) << Label(n);
    } else {
      EXPECT_NE(kind, tkBlank) << Label(n);
      EXPECT_NE(kind, tkButtonRecord) << Label(n);
    }
  }
}

TEST_F(TemplateCalculator, KeypadTypesAndEqualsEvaluatesIntoAns) {
  Press({"2", "+", "3", "×", "4"});
  EXPECT_EQ(Display(), "2+3*4");
  Press({"="});
  EXPECT_EQ(Display(), "2+3*4\r\n14");
  Press({"C"});
  EXPECT_EQ(Display(), "");
  Press({"ans", "÷", "7", "="});
  EXPECT_EQ(Display(), "Ans/7\r\n2");
  Press({"±"});
  EXPECT_EQ(Display(), "Ans/7\r\n2\r\n-2");
  Press({"C", "ans", "="});
  EXPECT_EQ(Display(), "Ans\r\n-2");
  Press({"C", "1", ".", "5", "EE", "3", "=", "ans", "−", "5", "0", "0", "="});
  EXPECT_EQ(Display(), "1.5e3\r\nAns-500\r\n1000");
}

// Every shown button, through the real prelude and the template's automatic
// program: the display and Ans after each row of the table.
TEST_F(TemplateCalculator, EveryButtonGivesWhatTheTableSays) {
  const std::vector<TemplateCase> cases = TemplateCases();
  for (const TemplateCase& c : cases) {
    SCOPED_TRACE(std::string(c.button) + " with Ans = " + c.ansBefore);
    Clear();
    host_->ClearText();
    host_->RunUtf8(std::string("Ans = ") + c.ansBefore);
    inputs_ = c.inputs;
    Press(c.keys);
    EXPECT_EQ(host_->errors(), "");
    EXPECT_TRUE(inputs_.empty()) << "asked for fewer answers";
    if (c.die) {
      const std::string shown = Display();
      ASSERT_EQ(shown.size(), 1u) << shown;
      EXPECT_GE(shown[0], '1');
      EXPECT_LE(shown[0], '6');
      EXPECT_EQ(TemplateAnsText(*host_->block()), shown);
      continue;
    }
    EXPECT_EQ(Display(), c.shown);
    EXPECT_EQ(TemplateAnsText(*host_->block()), c.ans);
  }
  // Each shown button has a row of its own and is pressed in it.
  for (int n = 1; n <= 70; ++n) {
    if (Program(n).empty()) continue;
    bool found = false;
    for (const TemplateCase& c : cases)
      if (Label(n) == c.button &&
          std::find(c.keys.begin(), c.keys.end(), c.button) != c.keys.end())
        found = true;
    EXPECT_TRUE(found) << "no row for " << Label(n);
  }
}

// The die draws every face in time and Ans follows it.
TEST_F(TemplateCalculator, TheDieShowsOneToSixAndSetsAns) {
  std::set<std::string> faces;
  for (int i = 0; i < 200 && faces.size() < 6; ++i) {
    Clear();
    Press({"さいころ"});
    const std::string shown = Display();
    ASSERT_EQ(shown.size(), 1u) << shown;
    faces.insert(shown);
    EXPECT_EQ(TemplateAnsText(*host_->block()), shown);
  }
  EXPECT_EQ(faces, (std::set<std::string>{"1", "2", "3", "4", "5", "6"}));
}
