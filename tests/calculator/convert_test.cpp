#include "calculator/convert.h"

#include <gtest/gtest.h>

#include <string>

#include "calculator/errors.h"
#include "testtext.h"

namespace {

TEST(StrToInt, Reads) {
  struct {
    const char16_t* text;
    int32_t value;
  } cases[] = {{u"150", 150},         {u"  -3", -3},     {u"+7", 7},
               {u"$FF", 255},         {u"0x10", 16},     {u"-2147483648", INT32_MIN},
               {u"2147483647", INT32_MAX}, {u"$FFFFFFFF", -1}, {u"007", 7}};
  for (auto c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << Show(c.text);
}

TEST(StrToInt, RefusesWithTheConversionMessage) {
  for (const char16_t* t : {u"", u"12a", u"1.5", u"2147483648", u"  ", u"12 ", u"$", u"abc"}) {
    try {
      StrToInt(t);
      ADD_FAILURE() << Show(t) << " was accepted";
    } catch (const EConvertError& e) {
      std::u16string s(t);
      EXPECT_EQ(std::string(e.what()), "'" + std::string(s.begin(), s.end()) +
                                           "' is not a valid integer value");
    }
  }
}

TEST(StrToFloat, Reads) {
  struct {
    const char16_t* text;
    double value;
  } cases[] = {{u"25", 25}, {u"12.5", 12.5}, {u" 7 ", 7}, {u"1e2", 100}, {u"-0.25", -0.25},
               {u".5", 0.5}};
  for (auto c : cases) EXPECT_EQ(StrToFloat(c.text), c.value) << Show(c.text);
}

TEST(StrToFloat, RefusesWithTheConversionMessage) {
  for (const char16_t* t : {u"", u"abc", u"1,5", u"inf", u"nan", u"1e999", u"5%"}) {
    try {
      StrToFloat(t);
      ADD_FAILURE() << Show(t) << " was accepted";
    } catch (const EConvertError& e) {
      std::u16string s(t);
      EXPECT_EQ(std::string(e.what()), "'" + std::string(s.begin(), s.end()) +
                                           "' is not a valid floating point value");
    }
  }
}

TEST(FloatToStr, GeneralForm) {
  EXPECT_EQ(FloatToStr(25) == u"25", true);
  EXPECT_EQ(FloatToStr(12.5) == u"12.5", true);
  EXPECT_EQ(FloatToStr(75) == u"75", true);
  EXPECT_EQ(FloatToStr(0.1) == u"0.1", true);
}

}  // namespace
