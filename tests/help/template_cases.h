// What the template's buttons do, as cases that the headless tests and the
// tests in the real window both press.
#pragma once

#include <ctime>
#include <string>
#include <vector>

// Keys pressed on an empty display, then "="; the display's last line.
struct TemplateKeyCase {
  std::vector<std::string> keys;
  const char* result;
  bool hostCommand = false;  // the function is one of the calculator's host commands
};

inline const std::vector<TemplateKeyCase>& TemplateFunctionCases() {
  static const std::vector<TemplateKeyCase> cases = {
      {{"sin", "0", ")"}, "0"},
      {{"cos", "0", ")"}, "1"},
      {{"tan", "0", ")"}, "0"},
      {{"π", "×", "2"}, "6.28318530717959"},
      {{"√", "1", "6", ")"}, "4"},
      {{"asn", "1", ")"}, "1.5707963267949", true},
      {{"acs", "1", ")"}, "0", true},
      {{"atn", "1", ")"}, "0.785398163397448"},
      {{"ln", "1", ")"}, "0"},
      {{"log", "1", "0", "0", "0", ")"}, "3"},
      {{"sn°", "3", "0", ")"}, "0.5"},
      {{"cs°", "6", "0", ")"}, "0.5"},
      {{"tn°", "4", "5", ")"}, "1"},
      {{"°→r", "1", "8", "0", ")"}, "3.14159265358979"},
      {{"r→°", "π", ")"}, "180"},
      {{"x²", "7", ")"}, "49"},
      {{"xʸ", "2", ",", "1", "0", ")"}, "1024"},
      {{"eˣ", "1", ")"}, "2.71828182845905"},
      {{"1/x", "4", ")"}, "0.25"},
      {{"n!", "5", ")"}, "120"},
      {{"余", "7", ",", "3", ")"}, "1"},
      {{"丸", "2", ".", "5", ",", "0", ")"}, "3"},
      {{"int", "−", "1", ".", "5", ")"}, "-2"},
      {{"|x|", "−", "3", ")"}, "3"},
      {{"snh", "0", ")"}, "0", true},
      {{"csh", "0", ")"}, "1", true},
      {{"tnh", "0", ")"}, "0", true},
      {{"(", "1", "+", "2", ")", "×", "3"}, "9"},
  };
  return cases;
}

// A long button pressed on an empty display with Ans set (unless empty),
// fed its answers; what the display shows afterwards.
struct TemplateLongCase {
  const char* label;
  const char* ans;
  std::vector<std::string> inputs;
  std::string shown;
};

inline std::string TemplateDateText(const std::tm& t) {
  static const char* const days[] = {"日", "月", "火", "水", "木", "金", "土"};
  return std::to_string(t.tm_year + 1900) + "年" + std::to_string(t.tm_mon + 1) + "月" +
         std::to_string(t.tm_mday) + "日（" + days[t.tm_wday] + "）";
}

inline std::vector<TemplateLongCase> TemplateLongCases() {
  const std::time_t now = std::time(nullptr);
  std::tm today = *std::localtime(&now);
  std::tm later = today;
  later.tm_mday += 10;
  later.tm_hour = 12;
  std::mktime(&later);

  return {
      {"今日の日付", "", {}, TemplateDateText(today)},
      {"cm → インチ", "", {"2.54"}, "2.54 cm = 1 in"},
      {"℃ → ℉", "", {"100"}, "100 ℃ = 212 ℉"},
      {"日数計算", "",
       {std::to_string(later.tm_year + 1900), std::to_string(later.tm_mon + 1),
        std::to_string(later.tm_mday)},
       "10 日"},
      {"合計と平均", "", {"1", "2", "3", "4", ""}, "合計 10  平均 2.5（4 個）"},
      {"指数と固定小数", "1234.5", {}, "1.23450000000000e+03\r\n1234.5"},
      {"16進・2進", "10", {}, "0xa  0b1010"},
      {"九九の表", "", {},
       "  1  2  3  4  5  6  7  8  9\r\n  2  4  6  8 10 12 14 16 18\r\n"
       "  3  6  9 12 15 18 21 24 27\r\n  4  8 12 16 20 24 28 32 36\r\n"
       "  5 10 15 20 25 30 35 40 45\r\n  6 12 18 24 30 36 42 48 54\r\n"
       "  7 14 21 28 35 42 49 56 63\r\n  8 16 24 32 40 48 56 64 72\r\n"
       "  9 18 27 36 45 54 63 72 81\r\n"},
      {"ヘルプ", "", {}, ""},
  };
}
