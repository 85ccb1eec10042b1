// The whole test program runs on an X server of its own, with the Qt back
// ends installed as the calculator installs them.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/qt/qtbackends.h"
#include "session.h"

namespace {

std::unique_ptr<e2e::XSession> session;

class X11Environment : public ::testing::Environment {
public:
  void SetUp() override {
    session = std::make_unique<e2e::XSession>();
    setenv("DISPLAY", session->Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    static int argc = 1;
    static char name[] = "platformqt_x11_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
    platform::InstallQtBackends();
  }
  void TearDown() override {
    platform::RemoveQtBackends();
    delete app_;
    session.reset();
  }

private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new X11Environment);

}  // namespace

e2e::XSession& Session() { return *session; }
