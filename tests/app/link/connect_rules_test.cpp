#include "app/link/connect_rules.h"

#include <gtest/gtest.h>

TEST(ConnectRules, FourCharacterPortTextIsUsedAsItIs) {
  EXPECT_EQ(CommNameFromPortText("COM3"), "COM3");
  EXPECT_EQ(CommNameFromPortText("abcd"), "abcd");
}

TEST(ConnectRules, OtherPortTextsGetTheDevicePrefix) {
  EXPECT_EQ(CommNameFromPortText("COM12"), "\\\\.\\COM12");
  EXPECT_EQ(CommNameFromPortText("/dev/ttyUSB0"), "\\\\.\\/dev/ttyUSB0");
  EXPECT_EQ(CommNameFromPortText("ttyUSB0"), "\\\\.\\ttyUSB0");
}

TEST(ConnectRules, BaudTextConvertsOrRaisesTheConversionError) {
  EXPECT_EQ(BaudRateFromText("4800"), 4800u);
  EXPECT_EQ(BaudRateFromText("38400"), 38400u);
  try {
    BaudRateFromText("96k");
    FAIL() << "no error raised";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'96k' is not a valid integer value");
  }
  EXPECT_THROW(BaudRateFromText(""), EConvertError);
  EXPECT_THROW(BaudRateFromText("99999999999"), EConvertError);
}
