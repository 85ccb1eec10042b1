#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MessageBox, HeadlessWritesCaptionAndTextAndAnswersTheFirstButton) {
  struct Case {
    UINT type;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, IDOK},
      {MB_ICONWARNING, IDOK},
      {MB_OKCANCEL | MB_ICONWARNING, IDOK},
      {MB_YESNO, IDYES},
      {MB_YESNOCANCEL, IDYES},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    // "プログラム" in CP932.
    const int answer = MessageBoxA(0, "\x83\x76\x83\x8D\x83\x4F\x83\x89\x83\x80 ", "WB", c.type);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "WB: プログラム \n") << c.type;
    EXPECT_EQ(answer, c.answer) << c.type;
  }
}

TEST(MessageBox, InstalledBackEndReceivesConvertedTextsUntilReset) {
  struct Backend : platform::MessageBoxBackend {
    int Show(HWND hwnd, const std::u16string& text, const std::u16string& caption,
             UINT boxType) override {
      seen = caption + u"|" + text;
      owner = hwnd;
      type = boxType;
      return IDCANCEL;
    }
    std::u16string seen;
    HWND owner = 0;
    UINT type = 0;
  } backend;
  platform::SetMessageBoxBackend(&backend);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(5, "\x92\x86\x8E\x7E", nullptr, MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(backend.seen, u"|中止");
  EXPECT_EQ(backend.owner, 5u);
  EXPECT_EQ(backend.type, MB_OKCANCEL);

  platform::SetMessageBoxBackend(nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(0, "x", "c", MB_OK), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "c: x\n");
}

TEST(MessageDlg, HeadlessWritesTheTextAndAnswersTheFirstButtonInDialogOrder) {
  struct Case {
    TMsgDlgButtons buttons;
    int answer;
  };
  const Case cases[] = {
      {mbYes | mbNo | mbAbort, mrYes},
      {mbAbort | mbNo, mrNo},
      {mbCancel | mbOK, mrOk},
      {mbAbort, mrAbort},
      {mbIgnore | mbRetry, mrRetry},
      {0, mrCancel},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageDlg(u"続けますか", mtCustom, c.buttons, 0), c.answer) << c.buttons;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "続けますか\n");
  }
}

TEST(MessageDlg, InstalledBackEndDecides) {
  struct Backend : platform::MessageBoxBackend {
    int Dialog(const std::u16string& text, TMsgDlgType dlgType, TMsgDlgButtons dlgButtons) override {
      seen = text;
      type = dlgType;
      buttons = dlgButtons;
      return mrAbort;
    }
    std::u16string seen;
    TMsgDlgType type = mtWarning;
    TMsgDlgButtons buttons = 0;
  } backend;
  platform::SetMessageBoxBackend(&backend);
  const int answer = MessageDlg(u"x = 1", mtCustom, mbYes | mbNo | mbAbort, 0);
  platform::SetMessageBoxBackend(nullptr);
  EXPECT_EQ(answer, mrAbort);
  EXPECT_EQ(backend.seen, u"x = 1");
  EXPECT_EQ(backend.type, mtCustom);
  EXPECT_EQ(backend.buttons, mbYes | mbNo | mbAbort);
}

}  // namespace
