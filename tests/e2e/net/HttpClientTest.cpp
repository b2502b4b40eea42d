#include "NetTestSupport.h"

#include "net/HttpClient.h"

#include <array>
#include <string>

namespace {

using folivox::test::HttpTestServer;
using folivox::test::HttpTestServerOptions;
using nettest::kPassword;
using nettest::kUser;

class HttpGetTextTest : public nettest::DirectConnectionTest {
protected:
  void SetUp() override {
    ASSERT_TRUE(fServer.PutFile("answer.txt", "0123456789\r\n"));
    ASSERT_TRUE(fServer.Start());
    fHost = nettest::HostOf(fServer);
  }

  bool Get(const char* password, const char* path) {
    return HttpGetText(fHost.c_str(), kUser, password, path, fOut.data(), fOut.size(), 0);
  }

  HttpTestServer fServer{HttpTestServerOptions{.auth = "reader:s3cret"}};
  std::string fHost;
  std::array<char, 64> fOut{};
};

TEST_F(HttpGetTextTest, SendsBasicCredentialsAndReturnsTheBody) {
  ASSERT_TRUE(Get(kPassword, "/answer.txt?x=1"));
  EXPECT_STREQ(fOut.data(), "0123456789\r\n");
  ASSERT_EQ(fServer.requestCount(), 1);
  EXPECT_EQ(fServer.requestLines()[0], "GET /answer.txt?x=1 HTTP/1.1");
  EXPECT_EQ(fServer.authorizations()[0], "Basic cmVhZGVyOnMzY3JldA==");
}

TEST_F(HttpGetTextTest, ErrorPagesAreAnswersToo) {
  ASSERT_TRUE(Get("wrong", "/answer.txt"));
  EXPECT_STREQ(fOut.data(), "authentication required\n");
  ASSERT_TRUE(Get(kPassword, "/missing.txt"));
  EXPECT_STREQ(fOut.data(), "not found\n");
}

TEST_F(HttpGetTextTest, LongAnswerIsCutToTheBuffer) {
  std::array<char, 6> small;
  small.fill('?');
  ASSERT_TRUE(HttpGetText(fHost.c_str(), kUser, kPassword, "/answer.txt", small.data(), 5, 0));
  EXPECT_STREQ(small.data(), "0123");
  EXPECT_EQ(small[5], '?');
}

TEST_F(HttpGetTextTest, NoServerMeansNoAnswerAndOneLine) {
  fServer.Stop();
  fOut.fill('?');
  CapturedOutput output;
  EXPECT_FALSE(Get(kPassword, "/answer.txt"));
  EXPECT_EQ(fOut[0], '\0');
  EXPECT_TRUE(output.Take().starts_with("HTTP request to " + fHost + " failed"));
}

TEST_F(HttpGetTextTest, MissingArgumentsAreRefusedWithAMessage) {
  CapturedOutput output;
  EXPECT_FALSE(HttpGetText(nullptr, kUser, kPassword, "/", fOut.data(), fOut.size(), 0));
  EXPECT_FALSE(HttpGetText("127.0.0.1", kUser, kPassword, "/", nullptr, 10, 0));
  EXPECT_EQ(output.Take(), "HTTP request not sent: the address or credentials are missing.\n"
                           "HTTP request not sent: no room for the answer.\n");
  EXPECT_EQ(fServer.requestCount(), 0);
  EXPECT_FALSE(ApplySystemProxy(nullptr));
}

// The target answers from its own folder; the proxy, having no files, answers "not found".
class SystemProxyTest : public HttpGetTextTest {
protected:
  void SetUp() override {
    HttpGetTextTest::SetUp();
    ASSERT_TRUE(fProxyServer.Start());
  }

  bool WentThroughProxy() {
    const std::string absolute = "GET http://" + fHost + "/answer.txt HTTP/1.1";
    return fProxyServer.requestLines() == std::vector<std::string>{absolute} &&
           fServer.requestCount() == 0 && std::string(fOut.data()) == "not found\n";
  }
  bool WentDirect() {
    return fServer.requestCount() == 1 && fProxyServer.requestCount() == 0 &&
           std::string(fOut.data()) == "0123456789\r\n";
  }

  HttpTestServer fProxyServer;
};

TEST_F(SystemProxyTest, ConfiguredProxyCarriesTheRequest) {
  ScopedVariable proxy("http_proxy", fProxyServer.url("").c_str());
  ASSERT_TRUE(Get(kPassword, "/answer.txt"));
  EXPECT_TRUE(WentThroughProxy());
}

TEST_F(SystemProxyTest, BypassListSkipsTheProxy) {
  ScopedVariable proxy("http_proxy", fProxyServer.url("").c_str());
  ScopedVariable bypass("no_proxy", "example.com,127.0.0.1");
  ASSERT_TRUE(Get(kPassword, "/answer.txt"));
  EXPECT_TRUE(WentDirect());
}

// libcurl would take all_proxy on its own; only the user's HTTP proxy setting counts.
TEST_F(SystemProxyTest, NoHttpProxyGoesDirectWhateverElseIsSet) {
  ScopedVariable all("all_proxy", fProxyServer.url("").c_str());
  ASSERT_TRUE(Get(kPassword, "/answer.txt"));
  EXPECT_TRUE(WentDirect());
}

} // namespace
