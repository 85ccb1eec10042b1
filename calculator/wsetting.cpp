// wsetting: the settings record and the defaults a calculator file load gives.
#include "calculator/wsetting.h"

#include <algorithm>

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

void KeepSettingsInRange(wsetting& s) {
  // More rows than a group has buttons would reach into the next group, or
  // past the last button: such a value is brought to the nearest that fits.
  s.buttonDispLine1 = std::clamp(s.buttonDispLine1, 0, kMaxDispLine1);
  s.buttonDispLine2 = std::clamp(s.buttonDispLine2, 0, kMaxDispLineBlock);
  s.buttonDispLine3 = std::clamp(s.buttonDispLine3, 0, kMaxDispLineBlock);
  s.buttonDispLine4 = std::clamp(s.buttonDispLine4, 0, kMaxDispLineBlock);
  // Sizes between the listed ones stay: files may hold them.
  s.dispFontSize = std::clamp(s.dispFontSize, kMinDispFontSize, kMaxDispFontSize);
}
