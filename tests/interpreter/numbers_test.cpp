// Numeric built-ins, run as scripts through the headless host.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "tests/interpreter/script_cases.h"
#include "tools/vekhost.h"

namespace {

TEST(Numbers, ResultsAndTheirTypes) {
  // 2.5 + f takes f's type: an integer result drops the .5.
  const PrintCase cases[] = {
      {"INT(-1.5)", "-2"},          {"INT(2.7)", "2"},           {"2.5 + INT(2.7)", "4.5"},
      {"ABS(-3)", "3"},             {"2.5 + ABS(-3)", "5.5"},    {"SGN(0)", "0"},
      {"SGN(\"abc\")", "0"},        {"SGN(-0.5)", "-1"},         {"SGN(\"12x\")", "1"},
      {"2.5 + SGN(7)", "3"},        {"EXP(0)", "1"},             {"EXP(1)", "2.71828182845905"},
      {"POW(2, 10)", "1024"},       {"POW(4, 0.5)", "2"},        {"LOG(EXP(2))", "2"},
      {"SQR(0)", "0"},              {"SQR(2)", "1.4142135623731"}, {"SIN(0)", "0"},
      {"COS(0)", "1"},              {"TAN(0)", "0"},             {"ATAN(1) * 4", "3.14159265358979"},
      {"INT(\"7.9abc\")", "7"},     {"INT(5, 1, 2)", "5"},
  };
  CheckPrinted(cases, std::size(cases));
}

TEST(Numbers, ModKeepsTheSignOfTheDividend) {
  const PrintCase cases[] = {
      {"MOD(7, 3)", "1"},     {"MOD(-7, 3)", "-1"},    {"MOD(7, -3)", "1"},
      {"MOD(7.5, 2)", "1.5"}, {"MOD(7, 0)", "0"},      {"MOD(0, 5)", "0"},
      {"MOD(-6, 3)", "0"},    {"MOD(POW(10, 400), 3)", "0"},
      {"MOD(5, POW(10, 400))", "5"},
  };
  CheckPrinted(cases, std::size(cases));
}

TEST(Numbers, RoundHalvesUpward) {
  const PrintCase cases[] = {
      {"ROUND(3.14159, 2)", "3.14"}, {"ROUND(1234, -2)", "1200"}, {"ROUND(2.5, 0)", "3"},
      {"ROUND(-2.5, 0)", "-2"},      {"ROUND(-2.6, 0)", "-3"},    {"ROUND(1250, -2)", "1300"},
      {"ROUND(0.125, 2)", "0.13"},
  };
  CheckPrinted(cases, std::size(cases));
}

TEST(Numbers, DomainAndArgumentErrors) {
  const PrintCase cases[] = {
      {"LOG(0)", "!arithmetic error"},   {"LOG(-1)", "!arithmetic error"},
      {"LOG(\"x\")", "!arithmetic error"}, {"SQR(-1)", "!arithmetic error"},
      {"INT()", "!variable error"},      {"POW(2)", "!variable error"},
      {"MOD(1)", "!variable error"},     {"ROUND(1.5)", "!variable error"},
      {"RND", "!variable error"},        {"INT(nosuch)", "!undefined error"},
  };
  CheckPrinted(cases, std::size(cases));
}

TEST(Numbers, RandomDrawsStayInRange) {
  HeadlessHost host;
  EXPECT_EQ(Shown(host, u"PRINT RND(0), RND(1)"), "00");
  // Each argument gives results in 0 .. |n| - 1, whole numbers, and reaches both ends.
  const std::u16string loop =
      u"DIM lo = 100, hi = -100, bad = 0, i, r\n"
      u"FOR i = 1 TO 2000 { r = RND(n)\n"
      u"  IF r != INT(r) OR r < 0 OR r >= ABS(n) { bad = bad + 1 }\n"
      u"  IF r < lo { lo = r }\n"
      u"  IF r > hi { hi = r } }\n"
      u"PRINT bad, \" \", lo, \" \", hi";
  const struct {
    const char16_t* n;
    const char* printed;
  } cases[] = {{u"6", "0 0 5"}, {u"-5", "0 0 4"}, {u"2", "0 0 1"}};
  for (const auto& c : cases) {
    HeadlessHost fresh;
    fresh.Run(std::u16string(u"DIM n = ") + c.n);
    EXPECT_EQ(Shown(fresh, loop), c.printed) << platform::ToUtf8(c.n);
  }
}

}  // namespace
