#include "publish/MachineIdentity.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>
#include <sys/utsname.h>

namespace {

const platform::HardwareAddress kAddress{0x0A, 0xBC, 0x00, 0xFF, 0x7E, 0x01};

bool FullyMatches(const std::string& text, const char* pattern) {
  return std::regex_match(text, std::regex(pattern));
}

TEST(MacAddressTextTest, IsUpperCaseHexEndingInLineFeed) {
  EXPECT_EQ(FormatMacAddressLine(kAddress), "0A:BC:00:FF:7E:01\n");

  const PMString text = GetMacAddressText();
  EXPECT_EQ(text.CharCount(), 18);
  EXPECT_TRUE(FullyMatches(text.GetUTF8String(), "([0-9A-F]{2}:){5}[0-9A-F]{2}\n"))
      << text.GetUTF8String();
  EXPECT_FALSE(text.GetTranslatable());
}

TEST(AdapterAddressTextTest, IsLowerCaseHexWithoutLineEnd) {
  EXPECT_EQ(FormatAdapterAddress(kAddress), "0a:bc:00:ff:7e:01");
}

TEST(AdapterAddressTextTest, FallsBackToFirstIPv4AddressOfHost) {
  const platform::HostEntry host{"press", {{192, 168, 0, 255}, {10, 0, 0, 1}}};
  EXPECT_EQ(ChooseAdapterAddressText(kAddress, host), "0a:bc:00:ff:7e:01");
  EXPECT_EQ(ChooseAdapterAddressText(std::nullopt, host), "192.168.0.255");
  EXPECT_EQ(ChooseAdapterAddressText(std::nullopt, platform::HostEntry{"press", {}}), "");
}

TEST(AdapterAddressTextTest, ThisMachineGivesAnAdapterOrTheHostAddress) {
  const platform::HostEntry host{"press", {{10, 1, 2, 3}}};
  const std::string text = GetAdapterAddressText(host);
  EXPECT_TRUE(text == "10.1.2.3" || FullyMatches(text, "([0-9a-f]{2}:){5}[0-9a-f]{2}")) << text;
}

TEST(PackedVersionTest, ReadsMajorMinorAndBuild) {
  EXPECT_EQ(FormatPackedVersion(5 | 1 << 8 | 2600u << 16), "5.1.2600");
  EXPECT_EQ(FormatPackedVersion(0), "0.0.0");
  EXPECT_EQ(FormatPackedVersion(0x7FFFFFFF), "255.255.32767");
}

TEST(PackedVersionTest, TopBitKeepsBuildOnlyBelowMajorFour) {
  EXPECT_EQ(FormatPackedVersion(0x80000000u | 950u << 16 | 10 << 8 | 3), "3.10.950");
  EXPECT_EQ(FormatPackedVersion(0x80000000u | 1998u << 16 | 4), "4.0.0");
  EXPECT_EQ(FormatPackedVersion(0xFFFFFFFF), "255.255.0");
}

TEST(PackedVersionTest, SystemVersionStartsLikeKernelRelease) {
  utsname system{};
  ASSERT_EQ(uname(&system), 0);
  const std::string text = GetWindowsVersionText();
  ASSERT_TRUE(FullyMatches(text, "\\d+\\.\\d+\\.\\d+")) << text;
  const std::string majorMinor = text.substr(0, text.rfind('.') + 1);
  EXPECT_EQ(std::string(system.release).rfind(majorMinor, 0), 0u) << system.release;
}

TEST(BuildNumberTest, PrefersBuildTextAndKeepsOnlyDigits) {
  EXPECT_EQ(GetBuildNumber("10308", "1.0.2"), 10308u);
  EXPECT_EQ(GetBuildNumber("", "1.0.2"), 102u);
  EXPECT_EQ(GetBuildNumber("a1b2", "9"), 12u);
  EXPECT_EQ(GetBuildNumber("007", ""), 7u);
}

TEST(BuildNumberTest, IsOneWithoutAnyDigit) {
  EXPECT_EQ(GetBuildNumber("", ""), 1u);
  EXPECT_EQ(GetBuildNumber("beta", "1.0"), 1u);
  EXPECT_EQ(GetBuildNumber("0", ""), 0u);
}

TEST(BuildNumberTest, SaturatesWhenDigitsOverflow) {
  constexpr auto kLargest = std::numeric_limits<std::uint32_t>::max();
  EXPECT_EQ(GetBuildNumber("4294967295", ""), kLargest);
  EXPECT_EQ(GetBuildNumber("4294967296", ""), kLargest);
  EXPECT_EQ(GetBuildNumber(std::string(5000, '9'), ""), kLargest);
}

} // namespace
