// One offscreen application object for the whole test program, with the Qt
// back ends installed as the calculator installs them.
#include <QApplication>

#include <gtest/gtest.h>

#include "tests/testscope.h"

#include "platform/qt/qtbackends.h"

namespace {

class QtEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "platformqt_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
    QApplication::setApplicationName("Zimro");
    platform::InstallQtBackends();
  }
  void TearDown() override {
    platform::RemoveQtBackends();
    delete app_;
  }

private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
// Each test's timers, answerers and quit end with it.
[[maybe_unused]] const bool scoped = testscope::Install();

}  // namespace
