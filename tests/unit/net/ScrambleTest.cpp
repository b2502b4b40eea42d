#include "net/Scramble.h"
#include "net/ScrambledUpdateServer.h"
#include "net/UpdateServer.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace scrambled = folivox::scrambled;

TEST(ScrambleTest, BuiltInServerIsTheConfiguredOne) {
  const UpdateServer server = BuiltInUpdateServer();
  EXPECT_EQ(server.host, FOLIVOX_UPDATE_HOST);
  EXPECT_EQ(server.user, FOLIVOX_UPDATE_USER);
  EXPECT_EQ(server.password, FOLIVOX_UPDATE_PASSWORD);
  EXPECT_EQ(server.pathPrefix, FOLIVOX_UPDATE_PATH_PREFIX);
}

TEST(ScrambleTest, NoScrambledByteReadsAsText) {
  for (const unsigned char byte : scrambled::kScrambleKey) {
    EXPECT_GE(byte, 0x80);
  }
  for (const unsigned char byte : scrambled::kHost) {
    EXPECT_GE(byte, 0x80);
  }
}

TEST(ScrambleTest, TextWithoutRoomForItsTerminatorIsRefused) {
  std::array<char, sizeof FOLIVOX_UPDATE_HOST - 1> out;
  out.fill('?');
  EXPECT_FALSE(Unscramble(scrambled::kHost, scrambled::kScrambleKey, out));
  EXPECT_EQ(out[0], '\0');
}

// User and password are left out: by default they are the product's own name, which the
// library holds anyway.
TEST(ScrambleTest, LibraryHoldsNoClearServerAddress) {
  std::ifstream file(FOLIVOX_LIBRARY_FILE, std::ios::binary);
  const std::string library{std::istreambuf_iterator<char>(file), {}};
  ASSERT_FALSE(library.empty());
  EXPECT_EQ(library.find(FOLIVOX_UPDATE_HOST), std::string::npos);
  EXPECT_EQ(library.find(FOLIVOX_UPDATE_PATH_PREFIX), std::string::npos);
}

} // namespace
