#include "ScopedVariable.h"
#include "TempDir.h"

#include <platform/Browser.h>
#include <platform/Network.h>
#include <platform/Proxy.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/utsname.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using folivox::test::ScopedVariable;
using folivox::test::TempDir;

using Ipv4 = std::array<unsigned char, 4>;

TEST(HostNameTest, LocalHostNameIsTheKernelNodeName) {
  utsname system{};
  ASSERT_EQ(uname(&system), 0);
  EXPECT_EQ(platform::LocalHostName(), system.nodename);
}

TEST(HostNameTest, LocalhostResolvesToLoopback) {
  const auto host = platform::LookupHost("localhost");
  ASSERT_TRUE(host.has_value());
  EXPECT_FALSE(host->officialName.empty());
  EXPECT_NE(std::find(host->ipv4.begin(), host->ipv4.end(), Ipv4{127, 0, 0, 1}), host->ipv4.end());
}

TEST(HostNameTest, DottedLiteralKeepsNetworkByteOrder) {
  const auto host = platform::LookupHost("10.1.2.3");
  ASSERT_TRUE(host.has_value());
  const std::vector<Ipv4> expected = {{10, 1, 2, 3}};
  EXPECT_EQ(host->ipv4, expected);
  EXPECT_EQ(host->officialName, "10.1.2.3");
}

TEST(HostNameTest, NoEntryWithoutAnIpv4Address) {
  EXPECT_FALSE(platform::LookupHost("::1").has_value());
  EXPECT_FALSE(platform::LookupHost("").has_value());
  EXPECT_FALSE(platform::LookupHost(std::string("localhost\0.evil", 15)).has_value());
}

TEST(ConnectedStateTest, EnvironmentStatesTheAnswerAndAnythingElseLeavesItToTheInterfaces) {
  const char* variable = platform::kNetworkStateVariable;
  ScopedVariable unset(variable, nullptr);
  const bool interfaces = platform::IsConnectedToNetwork();
  ScopedVariable online(variable, "online");
  EXPECT_TRUE(platform::IsConnectedToNetwork());
  ScopedVariable offline(variable, "offline");
  EXPECT_FALSE(platform::IsConnectedToNetwork());
  ScopedVariable misspelt(variable, "Online");
  EXPECT_EQ(platform::IsConnectedToNetwork(), interfaces);
}

class ProxySettingsTest : public ::testing::Test {
protected:
  ScopedVariable fLowerServer{"http_proxy", nullptr};
  ScopedVariable fUpperServer{"HTTP_PROXY", nullptr};
  ScopedVariable fLowerBypass{"no_proxy", nullptr};
  ScopedVariable fUpperBypass{"NO_PROXY", nullptr};
};

TEST_F(ProxySettingsTest, UnsetMeansNoServerAndAnEmptyBypassList) {
  const platform::ProxySettings settings = platform::ReadProxySettings();
  EXPECT_FALSE(settings.serverRead);
  EXPECT_EQ(settings.server, "");
  EXPECT_TRUE(settings.overrideRead);
  EXPECT_EQ(settings.bypass, "");
  EXPECT_TRUE(settings.enableRead);
  EXPECT_EQ(settings.enable, 0u);
}

TEST_F(ProxySettingsTest, ReadsServerAndBypassList) {
  ScopedVariable server("http_proxy", "http://proxy.example:3128");
  ScopedVariable bypass("no_proxy", "localhost,.example");
  const platform::ProxySettings settings = platform::ReadProxySettings();
  EXPECT_TRUE(settings.serverRead);
  EXPECT_EQ(settings.server, "http://proxy.example:3128");
  EXPECT_TRUE(settings.overrideRead);
  EXPECT_EQ(settings.bypass, "localhost,.example");
  EXPECT_EQ(settings.enable, 1u);
}

TEST_F(ProxySettingsTest, UpperCaseCountsOnlyWhenLowerCaseIsUnset) {
  ScopedVariable upperServer("HTTP_PROXY", "http://upper:1");
  ScopedVariable upperBypass("NO_PROXY", "upper.example");
  EXPECT_EQ(platform::ReadProxySettings().server, "http://upper:1");
  EXPECT_EQ(platform::ReadProxySettings().bypass, "upper.example");

  ScopedVariable lowerServer("http_proxy", "http://lower:2");
  ScopedVariable lowerBypass("no_proxy", "lower.example");
  EXPECT_EQ(platform::ReadProxySettings().server, "http://lower:2");
  EXPECT_EQ(platform::ReadProxySettings().bypass, "lower.example");
}

TEST_F(ProxySettingsTest, EmptyServerDisablesTheProxy) {
  ScopedVariable upperServer("HTTP_PROXY", "http://upper:1");
  ScopedVariable server("http_proxy", "");
  const platform::ProxySettings settings = platform::ReadProxySettings();
  EXPECT_TRUE(settings.serverRead);
  EXPECT_EQ(settings.server, "");
  EXPECT_EQ(settings.enable, 0u);
}

TEST_F(ProxySettingsTest, ValuesTooLongForTheBufferAreUnreadNotCut) {
  const std::string longest(1023, 'a');
  {
    ScopedVariable server("http_proxy", longest.c_str());
    ScopedVariable bypass("no_proxy", longest.c_str());
    const platform::ProxySettings settings = platform::ReadProxySettings();
    EXPECT_EQ(settings.server, longest);
    EXPECT_EQ(settings.bypass, longest);
  }
  for (std::size_t length : {std::size_t{1024}, std::size_t{2000}}) {
    const std::string tooLong(length, 'b');
    ScopedVariable server("http_proxy", tooLong.c_str());
    ScopedVariable bypass("no_proxy", tooLong.c_str());
    const platform::ProxySettings settings = platform::ReadProxySettings();
    EXPECT_FALSE(settings.serverRead) << length;
    EXPECT_EQ(settings.server, "") << length;
    EXPECT_FALSE(settings.overrideRead) << length;
    EXPECT_EQ(settings.bypass, "") << length;
    EXPECT_TRUE(settings.enableRead) << length;
    EXPECT_EQ(settings.enable, 0u) << length;
  }
}

// Puts a stand-in opener first in PATH. It records its arguments, its process id and the
// descriptors it inherited, then writes "done" last so the test knows the record is whole.
class OpenInBrowserTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(fRoot.path().empty());
    fs::create_directory(bin());
    std::ofstream(bin() / "xdg-open")
        << "#!/bin/sh\n"
        << "cd '" << fRoot.path().string() << "' || exit 1\n"
        << "printf '%s' \"$#\" > count\n"
        << "printf '%s' \"$1\" > url\n"
        << "printf '%s' \"$$\" > pid\n"
        << "for fd in /proc/$$/fd/*; do echo \"${fd##*/}\"; done > fds\n"
        << ": > done\n";
    fs::permissions(bin() / "xdg-open", fs::perms::owner_all);
    fPath.emplace("PATH", (bin().string() + ":" + std::getenv("PATH")).c_str());
  }

  fs::path bin() const { return fRoot.path() / "bin"; }

  bool WaitForOpener() const {
    for (int attempt = 0; attempt < 1000; ++attempt) {
      if (fs::exists(fRoot.path() / "done")) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  std::string Recorded(const char* name) const {
    std::ifstream file(fRoot.path() / name);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
  }

  TempDir fRoot;
  std::optional<ScopedVariable> fPath;
};

TEST_F(OpenInBrowserTest, PassesTheUrlAsOneUntouchedArgument) {
  const std::string url = "https://example.com/a b;touch injected&q=$(id)`id`|x";
  ASSERT_TRUE(platform::OpenInBrowser(url));
  ASSERT_TRUE(WaitForOpener());
  EXPECT_EQ(Recorded("count"), "1");
  EXPECT_EQ(Recorded("url"), url);
}

TEST_F(OpenInBrowserTest, LeavesNoZombieBehind) {
  ASSERT_TRUE(platform::OpenInBrowser("https://example.com/"));
  ASSERT_TRUE(WaitForOpener());
  const pid_t opener = std::stoi(Recorded("pid"));
  bool reaped = false;
  for (int attempt = 0; attempt < 1000 && !reaped; ++attempt) {
    reaped = kill(opener, 0) == -1 && errno == ESRCH;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(reaped) << "process " << opener << " was never collected";
}

TEST_F(OpenInBrowserTest, KeepsTheHostsOpenFilesToItself) {
  constexpr int kHostDescriptor = 200;
  const int file = open("/dev/null", O_RDONLY);
  ASSERT_GE(file, 0);
  ASSERT_EQ(dup2(file, kHostDescriptor), kHostDescriptor);
  const bool opened = platform::OpenInBrowser("https://example.com/");
  close(kHostDescriptor);
  close(file);
  ASSERT_TRUE(opened);
  ASSERT_TRUE(WaitForOpener());
  const std::string inherited = Recorded("fds");
  EXPECT_NE(inherited.find("2\n"), std::string::npos) << inherited;
  EXPECT_EQ(inherited.find(std::to_string(kHostDescriptor)), std::string::npos) << inherited;
}

TEST_F(OpenInBrowserTest, RefusesUrlsTheOpenerWouldMisread) {
  EXPECT_FALSE(platform::OpenInBrowser(""));
  EXPECT_FALSE(platform::OpenInBrowser("--version"));
  EXPECT_FALSE(platform::OpenInBrowser(std::string("https://a.example/\0https://b", 28)));
  EXPECT_FALSE(fs::exists(fRoot.path() / "count"));
}

TEST_F(OpenInBrowserTest, FailsWhenNoOpenerCanBeFound) {
  ScopedVariable emptyPath("PATH", fRoot.path().c_str());
  EXPECT_FALSE(platform::OpenInBrowser("https://example.com/"));
}

} // namespace
