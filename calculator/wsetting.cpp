// wsetting: the settings record and the defaults a calculator file load gives.
#include "calculator/wsetting.h"

wsetting::wsetting() : exeDir(u""), currentPath(u""), execLineResult(u"") {}

void ApplyLoadDefaults(wsetting& s) {
  using namespace calcdefaults;
  s.buttonEditMode = kButtonEditMode;
  s.stayOnTop = kStayOnTop;
  s.buttonDispLine1 = kButtonDispLine1;
  s.buttonDispLine2 = kButtonDispLine2;
  s.buttonDispLine3 = kButtonDispLine3;
  s.buttonDispLine4 = kButtonDispLine4;
  s.dispWidth = kDispWidth;
  s.dispHeight = kDispHeight;
  s.dispFontSize = kDispFontSize;
  s.formColor = kFormColor;
  s.titleColor = kTitleColor;
  s.textColor = kTextColor;
  s.buttonColor = kButtonColor;
  s.mix1 = kMix1;
  s.mix2 = kMix2;
  s.mix3 = kMix3;
}
