#include "NetTestSupport.h"

#include "TempDir.h"
#include "WholeFile.h"
#include "net/UpdateCheck.h"
#include "net/UpdateQuery.h"
#include "publish/MachineIdentity.h"

#include <omnithread.h>
#include <platform/Network.h>

#include <atomic>
#include <regex>
#include <sstream>
#include <utility>
#include <vector>

namespace {

using folivox::test::HttpTestServer;
using folivox::test::HttpTestServerOptions;
using Parameters = std::vector<std::pair<std::string, std::string>>;
using namespace std::chrono_literals;

std::string Decoded(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
    i += 2;
  }
  return decoded;
}

// The parameters of "GET <path>?<query> HTTP/1.1", values decoded.
Parameters QueryOf(const std::string& requestLine) {
  const std::size_t start = requestLine.find('?') + 1;
  std::istringstream query(requestLine.substr(start, requestLine.rfind(' ') - start));
  Parameters parameters;
  for (std::string pair; std::getline(query, pair, '&');) {
    const std::size_t equals = pair.find('=');
    parameters.emplace_back(pair.substr(0, equals), Decoded(pair.substr(equals + 1)));
  }
  return parameters;
}

class UpdateQueryTest : public nettest::DirectConnectionTest {
protected:
  void SetUp() override {
    ASSERT_TRUE(fServer.PutFile("check.php", "ok"));
    ASSERT_TRUE(fServer.Start());
  }

  bool Query(const char* user, const char* domain) {
    return QueryUpdateServer("Folivox", user, domain, fOut.data(), "1, 0, 2", "10308a",
                             nettest::UpdateServerAt(fServer));
  }

  HttpTestServer fServer{HttpTestServerOptions{.auth = "reader:s3cret"}};
  std::vector<char> fOut = std::vector<char>(kUpdateResponseCapacity);
  std::optional<platform::HostEntry> fHost = platform::LookupHost(platform::LocalHostName());
};

TEST_F(UpdateQueryTest, CarriesEveryValueInOrderAndIntact) {
  ASSERT_TRUE(fHost);
  for (const char* user : {"anna maria", "jan&ewa"}) {
    ASSERT_FALSE(Query(user, "R&D"));
    EXPECT_STREQ(fOut.data(), "ok");
    const std::string line = fServer.requestLines().back();
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(GET /check\.php\?[A-Za-z0-9._~%&=-]* HTTP/1\.1)")))
        << line;
    EXPECT_EQ(QueryOf(line), (Parameters{{"APP_NAME", "Folivox"},
                                         {"DOMAIN", "R&D"},
                                         {"APP_VER", "1.0.2"},
                                         {"USER", user},
                                         {"BUILD", "10308"},
                                         {"WINVER", GetWindowsVersionText()},
                                         {"INTERNALIP", GetAdapterAddressText(*fHost)}}));
  }
}

TEST_F(UpdateQueryTest, EmptyDomainIsThisMachinesOfficialName) {
  ASSERT_TRUE(fHost);
  ASSERT_FALSE(Query("anna", ""));
  const Parameters parameters = QueryOf(fServer.requestLines().back());
  ASSERT_GT(parameters.size(), 1u);
  EXPECT_EQ(parameters[1].first, "DOMAIN");
  EXPECT_EQ(parameters[1].second, fHost->officialName);
}

TEST_F(UpdateQueryTest, OverlongQueryIsNotSent) {
  CapturedOutput output;
  EXPECT_TRUE(Query(std::string(400, ' ').c_str(), "R&D"));
  EXPECT_EQ(fOut[0], '\0');
  EXPECT_EQ(fServer.requestCount(), 0);
  EXPECT_TRUE(output.Take().starts_with("Update query of "));
}

class RunUpdateCheckTest : public nettest::DirectConnectionTest {
protected:
  void SetUp() override {
    gUpdateUrlReady.store(0);
    gUpdateUrl[0] = '\0';
  }
  void TearDown() override { gUpdateUrlReady.store(0); }

  // Runs the check against a server answering `answer`; returns what the check printed.
  std::string Check(const std::string& answer, int status = 0,
                    const char* password = nettest::kPassword) {
    EXPECT_TRUE(folivox::test::WriteWholeFile(fDir.path() / "answer", answer));
    HttpTestServer server(
        {.bodyFile = fDir.path() / "answer", .status = status, .auth = "reader:s3cret"});
    EXPECT_TRUE(server.Start());
    UpdateServer target = nettest::UpdateServerAt(server);
    target.password = password;
    CapturedOutput output;
    RunUpdateCheck(target);
    return output.Take();
  }

  static bool Offered(const std::string& address) {
    return gUpdateUrlReady.load(std::memory_order_acquire) == 1 && address == gUpdateUrl;
  }

  folivox::test::TempDir fDir;
};

TEST_F(RunUpdateCheckTest, BrakOffersNothing) {
  EXPECT_EQ(Check("brak\r\n$URL=http://a/1.zip\r\n"), "Brak rekordow.\nThread done.\n");
  EXPECT_EQ(gUpdateUrlReady.load(), 0);
}

TEST_F(RunUpdateCheckTest, LastOfTwoRecordsIsOffered) {
  EXPECT_EQ(Check("Nowa wersja\r\n$URL=http://a/1.zip\r\n$URL=http://b/2.zip\r\n"),
            "Thread done.\n");
  EXPECT_TRUE(Offered("http://b/2.zip"));
}

TEST_F(RunUpdateCheckTest, EmptyAnswerOnlyEndsTheThread) {
  EXPECT_EQ(Check(""), "Thread done.\n");
  EXPECT_EQ(gUpdateUrlReady.load(), 0);
}

TEST_F(RunUpdateCheckTest, ErrorPagesAreReadLikeAnyAnswer) {
  EXPECT_EQ(Check("$URL=http://a/1.zip\r\n", 0, "wrong"), "Thread done.\n");
  EXPECT_EQ(gUpdateUrlReady.load(), 0);
  EXPECT_EQ(Check("$URL=http://a/1.zip\r\n", 404), "Thread done.\n");
  EXPECT_TRUE(Offered("http://a/1.zip"));
}

TEST_F(RunUpdateCheckTest, OverlongAddressIsRejectedNotCut) {
  const std::string longest = "http://a/" + std::string(502, 'x');
  EXPECT_EQ(Check("$URL=" + longest + "x\r\n"),
            "Update address of 512 characters is longer than 511; ignored.\nThread done.\n");
  EXPECT_EQ(gUpdateUrlReady.load(), 0);
  EXPECT_TRUE(Check("$URL=" + std::string(600, 'x')).starts_with("Update address of 600 "));
  EXPECT_EQ(gUpdateUrlReady.load(), 0);
  Check("$URL=" + longest + "\r\n");
  EXPECT_TRUE(Offered(longest));
}

// The worker's body on a detached omni_thread, as StartUpdateCheck runs it, that says when it
// has ended.
struct DetachedCheck {
  static void Run(void* self) {
    auto* check = static_cast<DetachedCheck*>(self);
    RunUpdateCheck(check->server);
    check->finished.store(true);
  }

  UpdateServer server;
  std::atomic<bool> finished{false};
};

using UpdateThreadTest = RunUpdateCheckTest;

TEST_F(UpdateThreadTest, StalledServerDoesNotHoldUpTheCaller) {
  HttpTestServer server({.stall = true});
  ASSERT_TRUE(server.Start());
  DetachedCheck check{nettest::UpdateServerAt(server)};
  CapturedOutput output;
  const auto started = std::chrono::steady_clock::now();
  omni_thread::create(&DetachedCheck::Run, &check, omni_thread::PRIORITY_LOW);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
  EXPECT_TRUE(nettest::WaitFor([&] { return server.requestCount() == 1; }));
  EXPECT_FALSE(check.finished.load());
  // Closing the connection ends the wait; the transfer bound would end it within a minute.
  server.Stop();
  ASSERT_TRUE(nettest::WaitFor([&] { return check.finished.load(); }, 90s));
  EXPECT_TRUE(output.Take().ends_with("Thread done.\n"));
  EXPECT_EQ(gUpdateUrlReady.load(), 0);
}

TEST_F(UpdateThreadTest, ReaderThatSeesTheFlagReadsTheWholeAddress) {
  const std::string address = "http://downloads.example/folivox-1.0.3.zip";
  ASSERT_TRUE(folivox::test::WriteWholeFile(fDir.path() / "answer", "$URL=" + address + "\r\n"));
  HttpTestServer server({.bodyFile = fDir.path() / "answer", .auth = "reader:s3cret"});
  ASSERT_TRUE(server.Start());
  std::string seen;
  std::thread reader([&seen] {
    if (nettest::WaitFor([] { return gUpdateUrlReady.load(std::memory_order_acquire) == 1; })) {
      seen = gUpdateUrl;
    }
  });
  DetachedCheck check{nettest::UpdateServerAt(server)};
  CapturedOutput output;
  omni_thread::create(&DetachedCheck::Run, &check, omni_thread::PRIORITY_LOW);
  reader.join();
  ASSERT_TRUE(nettest::WaitFor([&] { return check.finished.load(); }, 90s));
  EXPECT_EQ(seen, address);
}

} // namespace
