#include "net/Scramble.h"
#include "net/UpdateServer.h"

#include "ScrambledSamples.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>

namespace {

template <std::size_t Size> std::string ClearText(const std::array<unsigned char, Size>& scrambled) {
  std::array<char, 256> out{};
  EXPECT_TRUE(Unscramble(scrambled, samples::kScrambleKey, out));
  return out.data();
}

TEST(ScrambleTest, BuildScrambledTextsComeBackIntact) {
  EXPECT_EQ(ClearText(samples::kEmpty), "");
  EXPECT_EQ(ClearText(samples::kPunctuation), "a;b\"c\\d");
  EXPECT_EQ(ClearText(samples::kUtf8), "zażółć");
  EXPECT_EQ(ClearText(samples::kLongest), std::string(255, 'x'));
}

TEST(ScrambleTest, EveryKeyByteHasItsTopBitSet) {
  for (const unsigned char byte : samples::kScrambleKey) {
    EXPECT_GE(byte, 0x80) << static_cast<int>(byte);
  }
}

TEST(ScrambleTest, TextWithoutRoomForTheTerminatorIsRefused) {
  std::array<char, 255> out;
  out.fill('?');
  EXPECT_FALSE(Unscramble(samples::kLongest, samples::kScrambleKey, out));
  EXPECT_EQ(out[0], '\0');
  EXPECT_FALSE(Unscramble(samples::kEmpty, samples::kScrambleKey, {}));
}

TEST(UpdateServerTest, BuiltInServerIsTheConfiguredOne) {
  const UpdateServer server = BuiltInUpdateServer();
  EXPECT_EQ(server.host, FOLIVOX_UPDATE_HOST);
  EXPECT_EQ(server.user, FOLIVOX_UPDATE_USER);
  EXPECT_EQ(server.password, FOLIVOX_UPDATE_PASSWORD);
  EXPECT_EQ(server.pathPrefix, FOLIVOX_UPDATE_PATH_PREFIX);
}

// User and password are left out: by default they are the product's own name, which the
// library holds anyway.
TEST(UpdateServerTest, LibraryHoldsNoClearServerAddress) {
  std::ifstream file(FOLIVOX_LIBRARY_FILE, std::ios::binary);
  const std::string library{std::istreambuf_iterator<char>(file), {}};
  ASSERT_FALSE(library.empty());
  EXPECT_EQ(library.find(FOLIVOX_UPDATE_HOST), std::string::npos);
  EXPECT_EQ(library.find(FOLIVOX_UPDATE_PATH_PREFIX), std::string::npos);
}

} // namespace
