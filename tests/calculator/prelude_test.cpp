#include "calculator/prelude.h"

#include <gtest/gtest.h>

namespace {

TEST(PreludeTest, WholeText) {
  EXPECT_EQ(PreludeText(),
            u"sub SetButton(n) { #cmd(1, n) } sub SetButtonLabel(s) { #cmd(2, s) } "
            u"sub SetButtonData(s) { #cmd(3, s) } sub SetButtonColor(n) { #cmd(4, n) } "
            u"sub SetButtonBackColor(n) { #cmd(5, n) } sub GetButton { #cmd(6) } "
            u"sub GetButtonLabel { #cmd(7) } sub GetButtonData { #cmd(8) } "
            u"sub GetButtonColor { #cmd(9) } sub GetButtonBackColor { #cmd(10) } "
            u"sub Save(s) { #cmd(11, s) } sub Load(s) { #cmd(12, s) } "
            u"sub EditButton { #cmd(13) } sub CopyButton { #cmd(14) } "
            u"sub CopyDataButton { #cmd(15) } sub PasteButton { #cmd(16) } "
            u"sub DeleteButton { #cmd(17) } sub DispOption { #cmd(18) } "
            u"sub DispHelp { #cmd(19) } sub SetOption(n, m) { #cmd(20, n, m) } "
            u"sub GetOption(n) { #cmd(21, n) } sub GetCurrentLine { #cmd(22) } "
            u"sub SetNextLine { #cmd(23) } sub InputButton { #cmd(24) } Dim Ans = 0 "
            u"sub ExecLine { #cmd(25) } sub ecvt(n, m) { #cmd(26, n, m) } "
            u"sub fcvt(n, m) { #cmd(27, n, m) } sub asin(n) { #cmd(29, n) } "
            u"sub acos(n) { #cmd(30, n) } sub sinh(n) { #cmd(31, n) } "
            u"sub cosh(n) { #cmd(32, n) } sub tanh(n) { #cmd(33, n) } ");
}

}  // namespace
