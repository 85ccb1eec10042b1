// wsetting: the settings record and the defaults a calculator file load gives.
#include "calculator/wsetting.h"

#include <algorithm>

#include "calculator/calcfile.h"

wsetting::wsetting() : exeDir(u""), currentPath(u""), execLineResult(u"") {}

void ApplyLoadDefaults(wsetting& s) {
  for (const CalcFileKey& key : CalcFileKeys()) {
    if (key.real != nullptr) s.*key.real = key.byDefault;
    if (key.number != nullptr) s.*key.number = static_cast<int32_t>(key.byDefault);
  }
}

void KeepSettingsInRange(wsetting& s) {
  // More rows than a group has buttons would reach into the next group, or
  // past the last button: such a value is brought to the nearest that fits.
  for (const CalcFileKey& key : CalcFileKeys()) {
    if (key.rangeAtLoad) s.*key.number = std::clamp(s.*key.number, key.low, key.high);
  }
}

int32_t ShownFontSize(const wsetting& s) {
  return std::clamp(s.dispFontSize, kMinDispFontSize, kMaxDispFontSize);
}
