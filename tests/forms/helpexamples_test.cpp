// The help's examples that need the calculator (its host commands, Ans,
// NEW with the prelude) run in the real window and show what the help says.
#include "support.h"
#include "tests/help/helpdoc.h"

namespace {

std::string WithoutCr(const std::string& text) {
  std::string out;
  for (char ch : text)
    if (ch != '\r') out += ch;
  return out;
}

class HelpExampleWindowTest : public CalcWindowTest {};

}  // namespace

TEST_F(HelpExampleWindowTest, CalculatorExamplesShowWhatTheHelpSays) {
  std::vector<std::string> problems;
  int ran = 0;
  for (const HelpExample& example : HelpExamples(problems)) {
    if (!example.needsCalculator) continue;
    ++ran;
    SetDisplay("", 0);
    boxes_.dialogs.clear();
    Run(example.program);
    const std::string where = example.page + ":" + std::to_string(example.line) + "\n" +
                              example.program;
    EXPECT_EQ(WithoutCr(Display()), example.output) << where;
    if (example.hasMessage) {
      ASSERT_EQ(boxes_.dialogs.size(), 1u) << where;
      EXPECT_NE(boxes_.dialogs[0].find(example.message), std::string::npos) << where;
    } else {
      EXPECT_TRUE(boxes_.dialogs.empty()) << where << "\n" << boxes_.dialogs.front();
    }
  }
  EXPECT_TRUE(problems.empty());
  EXPECT_GT(ran, 0) << "no examples under " << HelpDir();
}
