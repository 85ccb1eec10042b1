// prelude: the host-command subs and Ans, sent at every interpreter reset.
#include "calculator/prelude.h"

#include "interpreter/wbexe.h"

const char16_t* const kPreludeTexts[kPreludeTextCount] = {
    u"sub SetButton(n) { #cmd(1, n) } ",
    u"sub SetButtonLabel(s) { #cmd(2, s) } ",
    u"sub SetButtonData(s) { #cmd(3, s) } ",
    u"sub SetButtonColor(n) { #cmd(4, n) } ",
    u"sub SetButtonBackColor(n) { #cmd(5, n) } ",
    u"sub GetButton { #cmd(6) } ",
    u"sub GetButtonLabel { #cmd(7) } ",
    u"sub GetButtonData { #cmd(8) } ",
    u"sub GetButtonColor { #cmd(9) } ",
    u"sub GetButtonBackColor { #cmd(10) } ",
    u"sub Save(s) { #cmd(11, s) } ",
    u"sub Load(s) { #cmd(12, s) } ",
    u"sub EditButton { #cmd(13) } ",
    u"sub CopyButton { #cmd(14) } ",
    u"sub CopyDataButton { #cmd(15) } ",
    u"sub PasteButton { #cmd(16) } ",
    u"sub DeleteButton { #cmd(17) } ",
    u"sub DispOption { #cmd(18) } ",
    u"sub DispHelp { #cmd(19) } ",
    u"sub SetOption(n, m) { #cmd(20, n, m) } ",
    u"sub GetOption(n) { #cmd(21, n) } ",
    u"sub GetCurrentLine { #cmd(22) } ",
    u"sub SetNextLine { #cmd(23) } ",
    u"sub InputButton { #cmd(24) } ",
    u"Dim Ans = 0 ",
    u"sub ExecLine { #cmd(25) } ",
    u"sub ecvt(n, m) { #cmd(26, n, m) } ",
    u"sub fcvt(n, m) { #cmd(27, n, m) } ",
    u"sub asin(n) { #cmd(29, n) } ",
    u"sub acos(n) { #cmd(30, n) } ",
    u"sub sinh(n) { #cmd(31, n) } ",
    u"sub cosh(n) { #cmd(32, n) } ",
    u"sub tanh(n) { #cmd(33, n) } ",
};

std::u16string PreludeText() {
  std::u16string text;
  for (const char16_t* t : kPreludeTexts) text += t;
  return text;
}

int32_t SendPrelude(wbexe& block) {
  std::u16string text = PreludeText();
  return block.Sub(text.c_str());
}
