#include "platform/qt/vkmap.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(VirtualKeys, MapToTheKeysOfAUsKeyboard) {
  struct Case {
    int vk;
    unsigned long keySym;
  };
  const Case cases[] = {
      {'A', XK_a},           {'Z', XK_z},
      {'0', XK_0},           {'9', XK_9},
      {0x70, XK_F1},         {0x7B, XK_F12},       {0x87, XK_F24},
      {0x0D, XK_Return},     {0x1B, XK_Escape},    {0x09, XK_Tab},       {0x08, XK_BackSpace},
      {0x20, XK_space},      {0x13, XK_Pause},     {0x2D, XK_Insert},    {0x2E, XK_Delete},
      {0x24, XK_Home},       {0x23, XK_End},       {0x21, XK_Prior},     {0x22, XK_Next},
      {0x25, XK_Left},       {0x26, XK_Up},        {0x27, XK_Right},     {0x28, XK_Down},
      {0x10, XK_Shift_L},    {0x11, XK_Control_L}, {0x12, XK_Alt_L},
      {0xA1, XK_Shift_R},    {0xA3, XK_Control_R}, {0xA5, XK_Alt_R},
      {0x60, XK_KP_0},       {0x69, XK_KP_9},      {0x6A, XK_KP_Multiply},
      {0x6B, XK_KP_Add},     {0x6D, XK_KP_Subtract}, {0x6E, XK_KP_Decimal},
      {0x6F, XK_KP_Divide},
      {0xBA, XK_semicolon},  {0xBB, XK_equal},     {0xBC, XK_comma},     {0xBD, XK_minus},
      {0xBE, XK_period},     {0xBF, XK_slash},     {0xC0, XK_grave},     {0xDB, XK_bracketleft},
      {0xDC, XK_backslash},  {0xDD, XK_bracketright}, {0xDE, XK_apostrophe},
      // No key: mouse buttons, unassigned and reserved codes.
      {0x00, 0},             {0x01, 0},            {0x07, 0},            {0x3A, 0},
      {0x88, 0},             {0xFF, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::KeySymForVirtualKey(c.vk), c.keySym) << c.vk;
}

// A script turns pixel x into x * 65537 / width (32-bit, truncated); every
// pixel must come back as itself.
TEST(VirtualKeys, NormalisedCoordinatesComeBackAsTheScriptsPixels) {
  for (int extent : {1, 640, 768, 1024, 1080, 1280, 1920, 2560, 3840, 7680}) {
    for (int pixel = 0; pixel < extent; ++pixel) {
      const int32_t normalised = pixel * 65537 / extent;
      ASSERT_EQ(platform::NormalisedToPixel(static_cast<uint32_t>(normalised), extent), pixel)
          << pixel << " of " << extent;
    }
  }
}

TEST(VirtualKeys, NormalisedCoordinatesStayOnTheScreen) {
  struct Case {
    uint32_t normalised;
    int extent;
    int pixel;
  };
  const Case cases[] = {
      {0, 1920, 0},          {65535, 1920, 1919},   {65536, 1920, 1919},  {32768, 1920, 960},
      {0x7FFFFFFF, 1920, 1919}, {0xFFFFFFFF, 1920, 0}, {0x80000000, 1080, 0}, {500, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::NormalisedToPixel(c.normalised, c.extent), c.pixel) << c.normalised;
}

}  // namespace
