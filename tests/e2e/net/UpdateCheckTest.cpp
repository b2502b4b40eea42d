// The HTTP client and the update check against real local servers.

#include "CapturedOutput.h"
#include "ScopedVariable.h"

#include "HttpTestServer.h"
#include "WholeFile.h"
#include "base/MachineIdentity.h"
#include "net/HttpClient.h"
#include "net/UpdateCheck.h"
#include "net/UpdateQuery.h"

#include <omnithread.h>
#include <platform/Network.h>

#include <array>
#include <chrono>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

namespace {

using folivox::test::CapturedOutput;
using folivox::test::ScopedVariable;

using folivox::test::HttpTestServer;
using Parameters = std::vector<std::pair<std::string, std::string>>;
using namespace std::chrono_literals;

constexpr const char* kUser = "reader";
constexpr const char* kPassword = "s3cret";

std::string HostOf(const HttpTestServer& server) {
  return "127.0.0.1:" + std::to_string(server.port());
}

UpdateServer UpdateServerAt(const HttpTestServer& server) {
  return {HostOf(server), kUser, kPassword, "/check.php?"};
}

// Each caller's condition includes the end of the worker it waits on, so a wait ends as soon as
// the outcome is known; the bound only stops a hung worker from holding the suite.
// By default longer than the client's own bound on a transfer, so a waiting worker always
// ends first.
template <typename Condition> bool WaitFor(Condition condition, std::chrono::seconds limit = 90s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  return condition();
}

// The parameters of "GET <path>?<query> HTTP/1.1", values decoded.
Parameters QueryOf(const std::string& requestLine) {
  const std::size_t start = requestLine.find('?') + 1;
  std::istringstream query(requestLine.substr(start, requestLine.rfind(' ') - start));
  Parameters parameters;
  for (std::string pair; std::getline(query, pair, '&');) {
    std::string value = pair.substr(pair.find('=') + 1);
    for (std::size_t i = value.find('%'); i != std::string::npos; i = value.find('%', i + 1)) {
      value.replace(i, 3, 1, static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16)));
    }
    parameters.emplace_back(pair.substr(0, pair.find('=')), value);
  }
  return parameters;
}

// The worker's body on a detached omni_thread, as StartUpdateCheck runs it, telling when done.
struct DetachedCheck {
  static void Run(void* self) {
    auto* check = static_cast<DetachedCheck*>(self);
    RunUpdateCheck(check->server, check->stop);
    check->finished.store(true);
  }

  UpdateServer server;
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
};

class UpdateCheckTest : public testing::Test {
protected:
  void SetUp() override { gUpdateUrlReady.store(0); }
  void TearDown() override { gUpdateUrlReady.store(0); }

  // A server wanting kUser's credentials that answers every request with `answer`.
  std::unique_ptr<HttpTestServer> Answering(std::string_view answer, int status = 0) {
    const auto file = fDir.path() / std::to_string(fFiles++);
    EXPECT_TRUE(folivox::test::WriteWholeFile(file, answer));
    auto server = std::make_unique<HttpTestServer>(
        folivox::test::HttpTestServerOptions{.bodyFile = file, .status = status, .auth = fAuth});
    EXPECT_TRUE(server->Start());
    return server;
  }

  folivox::test::TempDir fDir;
  int fFiles = 0;
  const std::string fAuth = std::string(kUser) + ':' + kPassword;
  // Each test starts with a direct connection, whatever the proxy settings of whoever runs it;
  // the lower-case spellings win when set, even to nothing.
  ScopedVariable fProxy{"http_proxy", ""};
  ScopedVariable fBypass{"no_proxy", ""};
};

TEST_F(UpdateCheckTest, GetSendsCredentialsAndReturnsASuccessfulBodyCutToTheBuffer) {
  const auto server = Answering("0123456789");
  const std::string host = HostOf(*server);
  std::array<char, 8> out;
  out.fill('?');
  ASSERT_TRUE(HttpGetText(host.c_str(), kUser, kPassword, "/a?x=1", out.data(), 6, 0));
  EXPECT_STREQ(out.data(), "01234");
  EXPECT_EQ(out[6], '?');
  EXPECT_EQ(server->requestLines(), std::vector<std::string>{"GET /a?x=1 HTTP/1.1"});
  EXPECT_EQ(server->authorizations(), std::vector<std::string>{"Basic cmVhZGVyOnMzY3JldA=="});
  // An error page is no answer.
  EXPECT_FALSE(HttpGetText(host.c_str(), kUser, "wrong", "/a", out.data(), out.size(), 0));
  EXPECT_EQ(out[0], '\0');
  const auto missing = Answering("0123456789", 404);
  EXPECT_FALSE(
      HttpGetText(HostOf(*missing).c_str(), kUser, kPassword, "/a", out.data(), out.size(), 0));
  EXPECT_EQ(out[0], '\0');

  server->Stop();
  CapturedOutput output;
  EXPECT_FALSE(HttpGetText(host.c_str(), kUser, kPassword, "/a", out.data(), out.size(), 0));
  EXPECT_EQ(out[0], '\0');
  // The update server's name is never printed.
  EXPECT_EQ(output.Take(), "");
}

TEST_F(UpdateCheckTest, UserProxySettingAloneDecidesTheRoute) {
  const auto target = Answering("direct");
  const auto proxy = Answering("proxied");
  const std::string host = HostOf(*target);
  const auto get = [&] {
    std::array<char, 16> out{};
    EXPECT_TRUE(HttpGetText(host.c_str(), kUser, kPassword, "/a", out.data(), out.size(), 0));
    return std::string(out.data());
  };
  {
    ScopedVariable via("http_proxy", proxy->url("").c_str());
    EXPECT_EQ(get(), "proxied");
    EXPECT_EQ(proxy->requestLines().back(), "GET http://" + host + "/a HTTP/1.1");
    ScopedVariable bypass("no_proxy", "example.com,127.0.0.1");
    EXPECT_EQ(get(), "direct");
  }
  // libcurl would take all_proxy on its own.
  ScopedVariable all("all_proxy", proxy->url("").c_str());
  EXPECT_EQ(get(), "direct");
}

TEST_F(UpdateCheckTest, QueryCarriesEveryValueEncodedAndInOrder) {
  const auto server = Answering("ok");
  const auto host = platform::LookupHost(platform::LocalHostName());
  ASSERT_TRUE(host);
  std::vector<char> out(kUpdateResponseCapacity);
  const auto query = [&](const std::string& user, const char* domain) {
    return QueryUpdateServer("Folivox", user.c_str(), domain, out.data(), "1, 0, 2", "10308a",
                             UpdateServerAt(*server));
  };
  for (const char* user : {"anna maria", "jan&ewa"}) {
    ASSERT_FALSE(query(user, "R&D"));
    EXPECT_STREQ(out.data(), "ok");
    const std::string line = server->requestLines().back();
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(GET /check\.php\?[\w.~%&=-]* HTTP/1\.1)")));
    EXPECT_EQ(QueryOf(line), (Parameters{{"APP_NAME", "Folivox"},
                                         {"DOMAIN", "R&D"},
                                         {"APP_VER", "1.0.2"},
                                         {"USER", user},
                                         {"BUILD", "10308"},
                                         {"WINVER", GetWindowsVersionText()},
                                         {"INTERNALIP", GetAdapterAddressText(*host)}}));
  }
  ASSERT_FALSE(query("anna", ""));
  EXPECT_EQ(QueryOf(server->requestLines().back()).at(1).second, host->officialName);

  CapturedOutput output;
  EXPECT_TRUE(query(std::string(400, ' '), "R&D"));
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(server->requestCount(), 3);
  EXPECT_EQ(output.Take(), "");

  // A machine with no network sends nothing.
  ScopedVariable offline(platform::kNetworkStateVariable, "offline");
  EXPECT_TRUE(query("anna", "R&D"));
  EXPECT_EQ(server->requestCount(), 3);
}

TEST_F(UpdateCheckTest, CheckOffersTheLastAddressOfASuccessfulAnswer) {
  const std::string longest = "http://a/" + std::string(502, 'x');
  struct Case {
    std::string answer;
    int status;
    const char* password;
    std::string printed;
    std::string offered;
  };
  const Case cases[] = {
      {"brak\r\n$URL=http://a/1\r\n", 0, kPassword, "Brak rekordow.\n", ""},
      {"Nowa wersja\r\n$URL=http://a/1\r\n$URL=http://b/2\r\n", 0, kPassword, "", "http://b/2"},
      {" brak\r\n$URL=http://a/1\r$URL=\r\n$url=http://b/2", 0, kPassword, "", "http://a/1"},
      {"", 0, kPassword, "", ""},
      {"$URL=http://a/1\r\n", 0, "wrong", "", ""},
      // Only a success is read; an error page offers nothing, whatever it holds.
      {"$URL=http://a/1\r\n", 404, kPassword, "", ""},
      {"$URL=http://a/1\r\n", 500, kPassword, "", ""},
      {"$URL=http://a/1\r\n", 203, kPassword, "", "http://a/1"},
      {"$URL=" + longest, 0, kPassword, "", longest},
      {"$URL=" + longest + "x\r\n", 0, kPassword, "", ""},
      {"$URL=http://a/" + std::string(600, 'x'), 0, kPassword, "", ""},
      // Only web addresses, whole and plain, are offered; a line feed ends a record too.
      {"$URL=http://a/1\n$URL=file:///etc/passwd\n$URL=javascript:alert(1)\n", 0, kPassword, "",
       "http://a/1"},
      {"$URL=HTTPS://a/2\n$URL=http://a/ b\r$URL=http://a/\tb\r$URL=http://\r", 0, kPassword, "",
       "HTTPS://a/2"},
      {"$URL=x-open:calc\r\n$URL=ftp://a/1\r\n", 0, kPassword, "", ""},
      // A final record cut off by the buffer's end is not offered as a shorter address.
      {"$URL=http://a/1\r" + std::string(24560, ' ') + "$URL=http://b/" + std::string(100, 'y'), 0,
       kPassword, "", "http://a/1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.substr(0, 60));
    gUpdateUrlReady.store(0);
    const auto server = Answering(c.answer, c.status);
    UpdateServer target = UpdateServerAt(*server);
    target.password = c.password;
    CapturedOutput output;
    RunUpdateCheck(target, std::atomic<bool>{false});
    EXPECT_EQ(output.Take(), c.printed + "Thread done.\n");
    const bool ready = gUpdateUrlReady.load(std::memory_order_acquire) == 1;
    EXPECT_EQ(ready ? std::string(gUpdateUrl) : "", c.offered);
  }
}

TEST_F(UpdateCheckTest, StalledServerDoesNotHoldUpTheCallerAndTheWorkerStopsWhenTold) {
  HttpTestServer server({.stall = true});
  ASSERT_TRUE(server.Start());
  DetachedCheck check{UpdateServerAt(server)};
  CapturedOutput output;
  omni_thread::create(&DetachedCheck::Run, &check, omni_thread::PRIORITY_LOW);
  EXPECT_TRUE(WaitFor([&] { return server.requestCount() == 1 || check.finished.load(); }));
  EXPECT_EQ(server.requestCount(), 1);
  EXPECT_FALSE(check.finished.load());
  // Told to stop, as at shut-down, the worker gives up with the server still silent, long
  // before the client's own bound on a transfer.
  check.stop.store(true);
  ASSERT_TRUE(WaitFor([&] { return check.finished.load(); }, 10s));
  EXPECT_EQ(server.requestCount(), 1);
  EXPECT_TRUE(output.Take().ends_with("Thread done.\n"));
  EXPECT_EQ(gUpdateUrlReady.load(), 0);
}

TEST_F(UpdateCheckTest, ReaderThatSeesTheFlagReadsTheWholeAddress) {
  const std::string address = "http://downloads.example/folivox-1.0.3.zip";
  const auto server = Answering("$URL=" + address + "\r\n");
  std::string seen;
  DetachedCheck check{UpdateServerAt(*server)};
  std::thread reader([&seen, &check] {
    if (WaitFor([&check] {
          return gUpdateUrlReady.load(std::memory_order_acquire) == 1 || check.finished.load();
        }) &&
        gUpdateUrlReady.load(std::memory_order_acquire) == 1) {
      seen = gUpdateUrl;
    }
  });
  CapturedOutput output;
  omni_thread::create(&DetachedCheck::Run, &check, omni_thread::PRIORITY_LOW);
  reader.join();
  ASSERT_TRUE(WaitFor([&] { return check.finished.load(); }));
  EXPECT_EQ(seen, address);
}

} // namespace
