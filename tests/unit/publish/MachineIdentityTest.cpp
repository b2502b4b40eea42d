#include "base/MachineIdentity.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>

namespace {

const platform::HardwareAddress kAddress{0x0A, 0xBC, 0x00, 0xFF, 0x7E, 0x01};

TEST(MachineIdentityTest, AddressTexts) {
  EXPECT_EQ(FormatMacAddressLine(kAddress), "0A:BC:00:FF:7E:01\n");
  const PMString mac = GetMacAddressText();
  EXPECT_TRUE(std::regex_match(mac.GetUTF8String(), std::regex("([0-9A-F]{2}:){5}[0-9A-F]{2}\n")));
  EXPECT_FALSE(mac.GetTranslatable());

  const platform::HostEntry host{"press", {{192, 168, 0, 255}, {10, 0, 0, 1}}};
  EXPECT_EQ(ChooseAdapterAddressText(kAddress, host), "0a:bc:00:ff:7e:01");
  EXPECT_EQ(ChooseAdapterAddressText(std::nullopt, host), "192.168.0.255");
  EXPECT_EQ(ChooseAdapterAddressText(std::nullopt, platform::HostEntry{"press", {}}), "");
}

TEST(MachineIdentityTest, PackedVersionKeepsBuildWithTopBitOnlyBelowMajorFour) {
  EXPECT_EQ(FormatPackedVersion(5 | 1 << 8 | 2600u << 16), "5.1.2600");
  EXPECT_EQ(FormatPackedVersion(0x7FFFFFFF), "255.255.32767");
  EXPECT_EQ(FormatPackedVersion(0x80000000u | 950u << 16 | 10 << 8 | 3), "3.10.950");
  EXPECT_EQ(FormatPackedVersion(0x80000000u | 1998u << 16 | 4), "4.0.0");
}

TEST(MachineIdentityTest, BuildNumberFromDigitsOfBuildOrVersion) {
  EXPECT_EQ(GetBuildNumber("10308", "1.0.2"), 10308u);
  EXPECT_EQ(GetBuildNumber("", "1.0.2"), 102u);
  EXPECT_EQ(GetBuildNumber("a1b2", "9"), 12u);
  EXPECT_EQ(GetBuildNumber("", ""), 1u);
  EXPECT_EQ(GetBuildNumber("beta", "1.0"), 1u);
  constexpr auto kLargest = std::numeric_limits<std::uint32_t>::max();
  EXPECT_EQ(GetBuildNumber("4294967295", ""), kLargest);
  EXPECT_EQ(GetBuildNumber("4294967296", ""), kLargest);
  EXPECT_EQ(GetBuildNumber(std::string(5000, '9'), ""), kLargest);
}

} // namespace
