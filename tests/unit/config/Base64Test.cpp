#include "publish/Base64.h"

#include <gtest/gtest.h>

namespace {

TEST(Base64Test, EncodesEveryPaddingLength) {
  // RFC 4648's vectors: every length modulo three, and bytes that use the whole alphabet.
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Encode(std::string("\xfb\xff\x00", 3)), "+/8A");
}

TEST(Base64Test, DecodesWrappedAndUnpaddedText) {
  EXPECT_EQ(Base64Decode("Zm9vYmFy"), "foobar");
  EXPECT_EQ(Base64Decode("+/8A"), std::string("\xfb\xff\x00", 3));
  EXPECT_EQ(Base64Decode(" ZnRwOi8v\r\n  ZXhhbXBsZQ==\n\t"), "ftp://example");
  EXPECT_EQ(Base64Decode("Zm8"), "fo");
  EXPECT_EQ(Base64Decode(""), "");
}

TEST(Base64Test, RefusesWhatNoEncoderWrites) {
  for (const char* bad : {"Zm9v!", "Zg==Zg==", "Zg=", "Zm9vY", "Zg===", "=", "Zm-v"})
    EXPECT_EQ(Base64Decode(bad), std::nullopt) << bad;
}

} // namespace
