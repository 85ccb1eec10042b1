// One application object for the whole test program, with the font
// substitutes that the calculator registers at start.
#include "calculator/forms/application.h"

#include <gtest/gtest.h>

#include "tests/testscope.h"

#include "button/fonts.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "forms_tests";
    static char* argv[] = {name, nullptr};
    // The program's own application object: its exception box is tested.
    app_ = new TApplication(argc, argv);
    RegisterFontSubstitutes();
  }
  void TearDown() override { delete app_; }

 private:
  TApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
// Each test's timers, answerers and quit end with it.
[[maybe_unused]] const bool scoped = testscope::Install();

}  // namespace
