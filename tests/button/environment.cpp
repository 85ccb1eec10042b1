// One application object for the whole test program, with the font
// substitutes that the calculator registers at start.
#include <QApplication>

#include <gtest/gtest.h>

#include "tests/testscope.h"

#include "button/fonts.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "button_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
    RegisterFontSubstitutes();
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
// Each test's timers, answerers and quit end with it.
[[maybe_unused]] const bool scoped = testscope::Install();

}  // namespace
