// Exceptions that leave an event handler: one box with their message, and
// the window goes on.
#include <QDir>
#include <QEvent>

#include "calculator/errors.h"
#include "calculator/forms/application.h"
#include "support.h"

namespace {

class ExceptionTest : public CalcWindowTest {
 protected:
  bool StartAtOnce() const override { return false; }
  void SetUp() override {
    CalcWindowTest::SetUp();
    SetExceptionBoxHook([this](const QString& text) { shown.push_back(text.toStdString()); });
  }
  void TearDown() override {
    CalcWindowTest::TearDown();
    SetExceptionBoxHook(nullptr);
  }
  std::vector<std::string> shown;
};

// A widget whose event handler fails as a form handler's conversion can.
class Failing : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw EConvertError("'zz' is not a valid integer value");
    return QObject::event(e);
  }
};

TEST_F(ExceptionTest, AHandlersExceptionIsShownAndTheProgramGoesOn) {
  LinkLibrary();
  StartWindow();
  Failing failing;
  QEvent e(QEvent::User);
  QCoreApplication::sendEvent(&failing, &e);
  EXPECT_EQ(shown, std::vector<std::string>{"'zz' is not a valid integer value"});
  Run("PRINT 1+1");
  EXPECT_EQ(Display(), "2");
}

TEST_F(ExceptionTest, ABadColourInTheFileAtStartIsShownAndTheWindowRuns) {
  LinkLibrary();
  WriteFile("zimro.ini", Utf16File("B11=\\2zz\r\n"));
  StartWindow();
  ASSERT_FALSE(form_->Terminated());
  EXPECT_EQ(shown, std::vector<std::string>{"'0x00zz' is not a valid integer value"});
  Run("PRINT 6*7");
  EXPECT_EQ(Display(), "42");
}

TEST_F(ExceptionTest, AFileThatCannotBeSavedOnCloseIsReportedAndTheWindowCloses) {
  LinkLibrary();
  StartWindow();
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(Path("zimro.ini"))));  // in the way
  CloseWindow();
  EXPECT_FALSE(form_->isVisible());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("zimro.ini"), std::string::npos) << shown[0];
}

}  // namespace
