#include "ScopedVariable.h"
#include "TempDir.h"
#include "WholeFile.h"

#include <platform/Files.h>
#include <platform/Identity.h>
#include <platform/Module.h>
#include <platform/SystemVersion.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <net/if.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <uuid/uuid.h>

namespace fs = std::filesystem;

namespace {

using folivox::test::ScopedVariable;
using folivox::test::TempDir;

class ApplicationDataFolderTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_FALSE(fRoot.path().empty()); }
  std::string Under(const std::string& relative) const { return fRoot.path() / relative; }

  TempDir fRoot;
};

TEST_F(ApplicationDataFolderTest, UsesDataHomeWithoutTrailingSlash) {
  ScopedVariable home("HOME", Under("home").c_str());
  ScopedVariable dataHome("XDG_DATA_HOME", (Under("data") + "//").c_str());
  EXPECT_EQ(platform::ApplicationDataFolder(), Under("data"));
  EXPECT_TRUE(fs::is_directory(Under("data")));
  EXPECT_FALSE(fs::exists(Under("home")));
}

TEST_F(ApplicationDataFolderTest, FallsBackToHomeWhenDataHomeIsEmptyOrRelative) {
  ScopedVariable home("HOME", (Under("home") + "/").c_str());
  for (const char* unusable : {"", "relative/data"}) {
    ScopedVariable dataHome("XDG_DATA_HOME", unusable);
    EXPECT_EQ(platform::ApplicationDataFolder(), Under("home/.local/share")) << unusable;
  }
  ScopedVariable dataHome("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(platform::ApplicationDataFolder(), Under("home/.local/share"));
}

TEST_F(ApplicationDataFolderTest, CreatesEveryMissingFolderPrivately) {
  ScopedVariable dataHome("XDG_DATA_HOME", Under("a/b/c").c_str());
  ASSERT_EQ(platform::ApplicationDataFolder(), Under("a/b/c"));
  for (const char* created : {"a", "a/b", "a/b/c"}) {
    EXPECT_EQ(folivox::test::PermissionBits(Under(created)), 0700u) << created;
  }
  // A second call finds the folder in place.
  EXPECT_EQ(platform::ApplicationDataFolder(), Under("a/b/c"));
}

TEST_F(ApplicationDataFolderTest, EmptyWhenNoUsableFolder) {
  {
    ScopedVariable home("HOME", nullptr);
    ScopedVariable dataHome("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(platform::ApplicationDataFolder(), "");
  }
  std::ofstream(Under("file")) << "in the way";
  ScopedVariable dataHome("XDG_DATA_HOME", Under("file/data").c_str());
  EXPECT_EQ(platform::ApplicationDataFolder(), "");
  ScopedVariable blockedHome("XDG_DATA_HOME", Under("file").c_str());
  EXPECT_EQ(platform::ApplicationDataFolder(), "");
}

TEST(DeleteFileTest, RemovesAFileOnceAndRejectsTruncatingNames) {
  TempDir root;
  ASSERT_FALSE(root.path().empty());
  const std::string path = root.path() / "doomed";
  std::ofstream(path) << "x";

  EXPECT_FALSE(platform::DeleteFile(path + std::string(1, '\0') + "other"));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_TRUE(platform::DeleteFile(path));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(platform::DeleteFile(path));
}

void FunctionInTestExecutable() {}

TEST(ModuleFileNameTest, NamesTheTestExecutableAbsolutely) {
  const std::string name =
      platform::ModuleFileName(reinterpret_cast<const void*>(&FunctionInTestExecutable));
  EXPECT_TRUE(fs::path(name).is_absolute()) << name;
  EXPECT_EQ(name, fs::canonical(program_invocation_name).string());
}

TEST(ModuleFileNameTest, NamesTheSharedLibraryHoldingTheAddress) {
  const std::string name = platform::ModuleFileName(reinterpret_cast<const void*>(&uuid_unparse));
  EXPECT_TRUE(fs::path(name).is_absolute()) << name;
  EXPECT_TRUE(fs::exists(name)) << name;
  EXPECT_NE(fs::path(name).filename().string().find("libuuid"), std::string::npos) << name;
  EXPECT_EQ(platform::ModuleFileName(nullptr), "");
}

TEST(IdentityTest, UuidNodeIsTheSameForEveryCall) {
  const platform::HardwareAddress first = platform::SequentialUuidNode();
  EXPECT_EQ(platform::SequentialUuidNode(), first);
  EXPECT_NE(first, platform::HardwareAddress{});
}

// The kernel's own answer, read a different way: the interfaces holding an IPv4 address (from
// SIOCGIFCONF), the lowest-numbered of those that are up (from sysfs), and its address.
std::string FirstConfiguredAddressFromSysfs() {
  const int probe = socket(AF_INET, SOCK_DGRAM, 0);
  std::array<ifreq, 64> requests{};
  ifconf list{};
  list.ifc_len = sizeof requests;
  list.ifc_req = requests.data();
  const bool listed = probe >= 0 && ioctl(probe, SIOCGIFCONF, &list) == 0;
  if (probe >= 0)
    close(probe);
  std::string best;
  int bestIndex = 0;
  for (std::size_t k = 0; listed && k < list.ifc_len / sizeof(ifreq); ++k) {
    const fs::path device = fs::path("/sys/class/net") / requests[k].ifr_name;
    unsigned flags = 0;
    int index = 0;
    std::string address;
    std::ifstream(device / "flags") >> std::hex >> flags;
    std::ifstream(device / "ifindex") >> index;
    std::ifstream(device / "address") >> address;
    const bool candidate = (flags & IFF_UP) != 0 && (flags & IFF_LOOPBACK) == 0 &&
                           address.size() == 17 && address != "00:00:00:00:00:00";
    if (candidate && (best.empty() || index < bestIndex)) {
      best = address;
      bestIndex = index;
    }
  }
  return best;
}

std::string Formatted(const platform::HardwareAddress& address) {
  char text[18];
  std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", address[0], address[1],
                address[2], address[3], address[4], address[5]);
  return text;
}

TEST(IdentityTest, FirstAdapterAddressIsTheFirstInterfaceUpWithIpv4) {
  const auto address = platform::FirstAdapterAddress();
  EXPECT_EQ(address ? Formatted(*address) : "", FirstConfiguredAddressFromSysfs());
}

TEST(IdentityTest, LoginUserNameTrustsTheUserDatabaseOverTheEnvironment) {
  const passwd* entry = getpwuid(geteuid());
  if (entry == nullptr) {
    GTEST_SKIP() << "the effective user has no database entry";
  }
  const std::string expected = entry->pw_name;
  ScopedVariable user("USER", "somebody-else");
  EXPECT_EQ(platform::LoginUserName(), expected);
}

uid_t UnknownUserId() {
  for (uid_t candidate = 54321; candidate > 50000; --candidate) {
    if (getpwuid(candidate) == nullptr) {
      return candidate;
    }
  }
  return 0;
}

// Runs in a child process so that changing the effective user cannot leak into other tests.
TEST(IdentityDeathTest, LoginUserNameFallsBackToUserVariableWithoutDatabaseEntry) {
  const uid_t unknown = UnknownUserId();
  if (geteuid() != 0 || unknown == 0) {
    GTEST_SKIP() << "needs root and a free user id";
  }
  EXPECT_EXIT(
      {
        setenv("USER", "fallback-name", 1);
        if (seteuid(unknown) != 0) {
          _exit(2);
        }
        const bool fellBack =
            platform::LoginUserName() == std::optional<std::string>("fallback-name");
        unsetenv("USER");
        const bool gaveUp = !platform::LoginUserName().has_value();
        _exit(fellBack && gaveUp ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(SystemVersionTest, ParsesLeadingReleaseNumbers) {
  struct Case {
    const char* release;
    unsigned major, minor, build;
  };
  const Case cases[] = {
      {"6.1.0-18-amd64", 6, 1, 0}, {"5.10", 5, 10, 0},   {"", 0, 0, 0},
      {"4.19.256", 4, 19, 256},    {"6.8-rc3", 6, 8, 0}, {"3.x.7", 3, 0, 0},
      {"2.6.32.71", 2, 6, 32},     {"5.15-3", 5, 15, 0}, {"99999999999.2.3", 0, 0, 0},
  };
  for (const Case& c : cases) {
    const platform::VersionNumbers parsed = platform::ParseReleaseNumbers(c.release);
    EXPECT_EQ(parsed.major, c.major) << c.release;
    EXPECT_EQ(parsed.minor, c.minor) << c.release;
    EXPECT_EQ(parsed.build, c.build) << c.release;
  }
}

TEST(SystemVersionTest, PacksIntoBytesAndA15BitBuild) {
  EXPECT_EQ(platform::PackVersion({6, 1, 0}), 0x00000106u);
  EXPECT_EQ(platform::PackVersion({4, 19, 256}), 0x01001304u);
  EXPECT_EQ(platform::PackVersion({3, 2, 40000}), 0x1C400203u);
  EXPECT_EQ(platform::PackVersion({1, 2, 0xFFFF}), 0x7FFF0201u);
  EXPECT_EQ(platform::PackVersion({0x105, 0x1FF, 0}), 0x0000FF05u);
}

} // namespace
