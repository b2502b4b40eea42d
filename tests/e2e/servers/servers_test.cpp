// Checks the test servers themselves with a real client, so that an end-to-end test failing
// later points at the product and not at its fixtures.

#include "LoopbackProxy.h"
#include "TempDir.h"
#include "TempHome.h"
#include "TestServers.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace folivox::test {
namespace {

using namespace std::string_literals;

struct CurlCleanup {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCleanup>;

struct Transfer {
  CURLcode code = CURLE_FAILED_INIT;
  long response = 0;
  std::string body;
  std::chrono::milliseconds elapsed{0};
};

struct Request {
  std::string url{};
  std::string userPwd{};
  unsigned long httpAuth = CURLAUTH_BASIC;
  std::string proxy{};
  std::string proxyUserPwd{};
  const std::string* upload = nullptr;
  long timeoutMs = 5000;
};

struct UploadSource {
  std::string_view bytes;
  size_t offset = 0;
};

size_t ReadUpload(char* buffer, size_t size, size_t count, void* source) {
  auto* upload = static_cast<UploadSource*>(source);
  const size_t length = std::min(size * count, upload->bytes.size() - upload->offset);
  std::copy_n(upload->bytes.data() + upload->offset, length, buffer);
  upload->offset += length;
  return length;
}

size_t WriteBody(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

Transfer Perform(const Request& request) {
  Transfer result;
  CurlHandle curl(curl_easy_init());
  if (!curl) {
    return result;
  }
  CURL* handle = curl.get();
  curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
  // An empty proxy also keeps *_proxy variables of whoever runs the tests out of the way.
  curl_easy_setopt(handle, CURLOPT_PROXY, request.proxy.c_str());
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, request.timeoutMs);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &result.body);
  if (!request.userPwd.empty()) {
    curl_easy_setopt(handle, CURLOPT_USERPWD, request.userPwd.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPAUTH, request.httpAuth);
  }
  if (!request.proxyUserPwd.empty()) {
    curl_easy_setopt(handle, CURLOPT_PROXYUSERPWD, request.proxyUserPwd.c_str());
  }
  UploadSource source;
  if (request.upload != nullptr) {
    source.bytes = *request.upload;
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(handle, CURLOPT_READDATA, &source);
    curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE,
                     static_cast<curl_off_t>(request.upload->size()));
    curl_easy_setopt(handle, CURLOPT_FTP_CREATE_MISSING_DIRS,
                     static_cast<long>(CURLFTP_CREATE_DIR));
  }
  const auto start = std::chrono::steady_clock::now();
  result.code = curl_easy_perform(handle);
  result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.response);
  return result;
}

Transfer Upload(const std::string& url, const std::string& bytes) {
  return Perform({.url = url, .upload = &bytes});
}

Transfer Get(const std::string& url) {
  return Perform({.url = url});
}

// Bytes that would be damaged by a text-mode transfer or a C-string copy.
const std::string kJpegLike = "\xFF\xD8\xFF\xE0\0\r\nJFIF\r\n\x80\x00\xFF\xD9"s;

bool Contains(const std::vector<std::string>& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

TEST(FtpTestServer, UploadLandsUnderRootWithIdenticalBytesAndIsLogged) {
  FtpTestServer ftp({.password = "p@ss word"});
  ASSERT_TRUE(ftp.Start());

  const Transfer upload = Upload(ftp.urlWithLogin() + "/08_12_05/7/file.jpg", kJpegLike);

  ASSERT_EQ(upload.code, CURLE_OK) << curl_easy_strerror(upload.code);
  EXPECT_EQ(ftp.ReadFile("08_12_05/7/file.jpg"), kJpegLike);
  EXPECT_EQ(ftp.storedPaths(), std::vector<std::string>{"/08_12_05/7/file.jpg"});
  const std::vector<std::string> commands = ftp.commands();
  EXPECT_TRUE(Contains(commands, "USER folivox"));
  EXPECT_TRUE(Contains(commands, "PASS ***"));
  EXPECT_TRUE(Contains(commands, "STOR file.jpg"));
  EXPECT_EQ(ftp.loginCount(), 1);
  for (const std::string& line : commands) {
    EXPECT_EQ(line.find("p@ss"), std::string::npos) << line;
  }
}

TEST(FtpTestServer, RefusedLoginIsDeniedAndStoresNothing) {
  FtpTestServer ftp({.refuseLogin = true});
  ASSERT_TRUE(ftp.Start());

  const Transfer upload = Upload(ftp.urlWithLogin() + "/a.jpg", kJpegLike);

  EXPECT_EQ(upload.code, CURLE_LOGIN_DENIED) << curl_easy_strerror(upload.code);
  EXPECT_EQ(ftp.loginCount(), 1);
  EXPECT_EQ(ftp.ReadFile("a.jpg"), std::nullopt);
}

class FtpFailStor : public testing::TestWithParam<int> {};

TEST_P(FtpFailStor, OnlyTheChosenStorFailsWithTheChosenCode) {
  FtpTestServer ftp({.failStor = 2, .failCode = GetParam()});
  ASSERT_TRUE(ftp.Start());

  const Transfer first = Upload(ftp.urlWithLogin() + "/1.jpg", kJpegLike);
  const Transfer second = Upload(ftp.urlWithLogin() + "/2.jpg", kJpegLike);
  const Transfer third = Upload(ftp.urlWithLogin() + "/3.jpg", kJpegLike);

  EXPECT_EQ(first.code, CURLE_OK) << curl_easy_strerror(first.code);
  EXPECT_EQ(second.code, CURLE_UPLOAD_FAILED) << curl_easy_strerror(second.code);
  EXPECT_EQ(second.response, GetParam());
  EXPECT_EQ(third.code, CURLE_OK) << curl_easy_strerror(third.code);
  EXPECT_EQ(ftp.ReadFile("2.jpg"), std::nullopt);
  EXPECT_EQ(ftp.ReadFile("3.jpg"), kJpegLike);
  EXPECT_EQ(ftp.storedPaths(), (std::vector<std::string>{"/1.jpg", "/2.jpg", "/3.jpg"}));
}

INSTANTIATE_TEST_SUITE_P(Codes, FtpFailStor, testing::Values(550, 552));

TEST(FtpTestServer, DroppedStorFailsThatUploadAndTheServerCarriesOn) {
  FtpTestServer ftp({.dropStor = 1});
  ASSERT_TRUE(ftp.Start());
  const std::string large(1 << 20, 'x');

  const Transfer dropped = Upload(ftp.urlWithLogin() + "/large.jpg", large);
  const Transfer next = Upload(ftp.urlWithLogin() + "/next.jpg", kJpegLike);

  EXPECT_NE(dropped.code, CURLE_OK);
  EXPECT_NE(ftp.ReadFile("large.jpg"), large);
  EXPECT_EQ(next.code, CURLE_OK) << curl_easy_strerror(next.code);
  EXPECT_EQ(ftp.ReadFile("next.jpg"), kJpegLike);
}

TEST(FtpTestServer, StallIsBoundedByTheClientTimeout) {
  FtpTestServer ftp({.stall = true});
  ASSERT_TRUE(ftp.Start());
  const std::string bytes = kJpegLike;

  const Transfer upload =
      Perform({.url = ftp.urlWithLogin() + "/a.jpg", .upload = &bytes, .timeoutMs = 300});

  EXPECT_EQ(upload.code, CURLE_OPERATION_TIMEDOUT) << curl_easy_strerror(upload.code);
  EXPECT_LT(upload.elapsed, std::chrono::seconds(3));
}

TEST(FtpTestServer, DestructionStopsTheServerAndRemovesItsFolder) {
  std::filesystem::path root;
  std::string url{};
  {
    FtpTestServer ftp;
    ASSERT_TRUE(ftp.Start());
    root = ftp.root();
    url = ftp.urlWithLogin() + "/a.jpg";
    ASSERT_EQ(Upload(url, kJpegLike).code, CURLE_OK);
  }
  EXPECT_FALSE(std::filesystem::exists(root));
  EXPECT_EQ(Upload(url, kJpegLike).code, CURLE_COULDNT_CONNECT);
}

// Set in the copy of this program that the next test starts and lets crash.
constexpr const char* kCrashAfterStarting = "FOLIVOX_TEST_CRASH_AFTER_STARTING";

// Starts an FTP server beside the program's HTTP proxy, says where both are, and dies the way
// a faulty test does: no destructor, no tear-down.
[[noreturn]] void StartServersAndCrash() {
  FtpTestServer ftp;
  if (!ftp.Start()) {
    std::_Exit(2);
  }
  std::printf("SERVER %d %s/\nSERVER %d %s\n", static_cast<int>(ftp.pid()), ftp.url().c_str(),
              static_cast<int>(TestProgramProxy()->server().pid()),
              TestProgramProxy()->server().url().c_str());
  std::fflush(stdout);
  std::signal(SIGSEGV, SIG_DFL);
  std::raise(SIGSEGV);
  std::_Exit(3);
}

// Reads `fd` to its end; false when something still held it open after 20 s.
bool ReadToEnd(int fd, std::string& text) {
  for (;;) {
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, 20000) <= 0) {
      return false;
    }
    char chunk[4096];
    const ssize_t count = read(fd, chunk, sizeof chunk);
    if (count <= 0) {
      return count == 0;
    }
    text.append(chunk, static_cast<size_t>(count));
  }
}

TEST(ServerProcess, ServersOfATestProgramThatCrashesEndWithIt) {
  if (std::getenv(kCrashAfterStarting) != nullptr) {
    StartServersAndCrash();
  }
  // The crashed copy's temporary folders are made in here, and go with it.
  TempDir scratch;
  std::vector<std::string> variables{std::string(kCrashAfterStarting) + "=1",
                                     "TMPDIR=" + scratch.path().string()};
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::string_view(*variable).rfind("TMPDIR=", 0) != 0) {
      variables.emplace_back(*variable);
    }
  }
  std::vector<char*> environment;
  for (std::string& variable : variables) {
    environment.push_back(variable.data());
  }
  environment.push_back(nullptr);
  const testing::TestInfo* self = testing::UnitTest::GetInstance()->current_test_info();
  std::string program = "/proc/self/exe";
  std::string filter = "--gtest_filter="s + self->test_suite_name() + "." + self->name();
  char* arguments[] = {program.data(), filter.data(), nullptr};

  // The copy writes where CTest would have it write, and its servers inherit that.
  int output[2];
  ASSERT_EQ(pipe2(output, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
  pid_t copy = 0;
  const int spawned =
      posix_spawn(&copy, program.c_str(), &actions, nullptr, arguments, environment.data());
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  ASSERT_EQ(spawned, 0);
  int status = 0;
  ASSERT_EQ(waitpid(copy, &status, 0), copy);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) << "status " << status;

  std::string text;
  const bool ended = ReadToEnd(output[0], text);
  close(output[0]);
  EXPECT_TRUE(ended) << "the crashed program's servers still hold its output";
  std::istringstream lines(text);
  int servers = 0;
  for (std::string word; lines >> word;) {
    int pid = 0;
    std::string url;
    if (word != "SERVER" || !(lines >> pid >> url)) {
      continue;
    }
    ++servers;
    if (!ended) {
      kill(pid, SIGKILL);
      continue;
    }
    EXPECT_EQ(Get(url).code, CURLE_COULDNT_CONNECT) << url;
  }
  EXPECT_EQ(servers, 2) << text;
}

TEST(HttpTestServer, ServesRootFilesAndLogsRequestLines) {
  HttpTestServer http;
  ASSERT_TRUE(http.PutFile("img/a.jpg", kJpegLike));
  ASSERT_TRUE(http.Start());

  const Transfer found = Get(http.url("/img/a.jpg?x=1&y=2"));
  const Transfer missing = Get(http.url("missing.jpg"));

  EXPECT_EQ(found.code, CURLE_OK) << curl_easy_strerror(found.code);
  EXPECT_EQ(found.response, 200);
  EXPECT_EQ(found.body, kJpegLike);
  EXPECT_EQ(missing.response, 404);
  EXPECT_EQ(http.requestCount(), 2);
  EXPECT_EQ(http.requestLines(), (std::vector<std::string>{"GET /img/a.jpg?x=1&y=2 HTTP/1.1",
                                                           "GET /missing.jpg HTTP/1.1"}));
}

TEST(HttpTestServer, StatusAndBodyFileOverrideEveryAnswer) {
  TempDir scratch;
  const std::filesystem::path body = scratch.path() / "body.xml";
  ASSERT_TRUE(WriteWholeFile(body, "<ok/>"));
  HttpTestServer statusOnly({.status = 503});
  HttpTestServer bodyOnly({.bodyFile = body});
  HttpTestServer both({.bodyFile = body, .status = 500});
  ASSERT_TRUE(statusOnly.Start());
  ASSERT_TRUE(bodyOnly.Start());
  ASSERT_TRUE(both.Start());

  const Transfer unavailable = Get(statusOnly.url("/anything"));
  const Transfer anyPath = Get(bodyOnly.url("/any/path?q=1"));
  const Transfer failing = Get(both.url("/x"));

  EXPECT_EQ(unavailable.response, 503);
  EXPECT_EQ(anyPath.response, 200);
  EXPECT_EQ(anyPath.body, "<ok/>");
  EXPECT_EQ(failing.response, 500);
  EXPECT_EQ(failing.body, "<ok/>");
}

TEST(HttpTestServer, BasicAuthAcceptsOnlyTheRightCredentialsAndLogsThem) {
  HttpTestServer http({.auth = "alice:s3cret"});
  ASSERT_TRUE(http.PutFile("a.txt", "hello"));
  ASSERT_TRUE(http.Start());

  const Transfer anonymous = Get(http.url("/a.txt"));
  const Transfer wrong = Perform({.url = http.url("/a.txt"), .userPwd = "alice:wrong"});
  // CURLAUTH_ANY only sends credentials after the 401 tells it which scheme to use.
  const Transfer right =
      Perform({.url = http.url("/a.txt"), .userPwd = "alice:s3cret", .httpAuth = CURLAUTH_ANY});

  EXPECT_EQ(anonymous.response, 401);
  EXPECT_EQ(anonymous.body, "authentication required\n");
  EXPECT_EQ(wrong.response, 401);
  EXPECT_EQ(right.response, 200);
  EXPECT_EQ(right.body, "hello");
  EXPECT_EQ(http.authorizations(),
            (std::vector<std::string>{"", "Basic YWxpY2U6d3Jvbmc=", "", "Basic YWxpY2U6czNjcmV0"}));
}

TEST(HttpTestServer, ProxiedRequestsShowTheAbsoluteUriAndProxyCredentials) {
  HttpTestServer proxy;
  ASSERT_TRUE(proxy.PutFile("a.jpg", kJpegLike));
  ASSERT_TRUE(proxy.Start());

  const Transfer viaProxy = Perform({.url = "http://images.example.invalid/a.jpg",
                                     .proxy = proxy.url(),
                                     .proxyUserPwd = "pu:pp"});

  EXPECT_EQ(viaProxy.response, 200);
  EXPECT_EQ(viaProxy.body, kJpegLike);
  EXPECT_EQ(proxy.requestLines(),
            std::vector<std::string>{"GET http://images.example.invalid/a.jpg HTTP/1.1"});
  EXPECT_EQ(proxy.proxyAuthorizations(), std::vector<std::string>{"Basic cHU6cHA="});
  EXPECT_EQ(proxy.authorizations(), std::vector<std::string>{""});
}

TEST(HttpTestServer, StallIsBoundedByTheClientTimeout) {
  HttpTestServer http({.stall = true});
  ASSERT_TRUE(http.Start());

  const Transfer stalled = Perform({.url = http.url("/a.jpg"), .timeoutMs = 300});

  EXPECT_EQ(stalled.code, CURLE_OPERATION_TIMEDOUT) << curl_easy_strerror(stalled.code);
  EXPECT_LT(stalled.elapsed, std::chrono::seconds(3));
  EXPECT_EQ(http.requestLines(), std::vector<std::string>{"GET /a.jpg HTTP/1.1"});
}

std::optional<std::string> Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

TEST(TempHome, RedirectsTheUserFoldersAndRestoresThemAfterwards) {
  const std::optional<std::string> home = Env("HOME");
  const std::optional<std::string> data = Env("XDG_DATA_HOME");
  const std::optional<std::string> config = Env("XDG_CONFIG_HOME");
  std::filesystem::path folder;
  {
    TempHome temp;
    ASSERT_FALSE(temp.path().empty());
    folder = temp.path();
    EXPECT_EQ(Env("HOME"), temp.path().string());
    EXPECT_EQ(Env("XDG_DATA_HOME"), temp.dataDir().string());
    EXPECT_EQ(Env("XDG_CONFIG_HOME"), temp.configDir().string());
    EXPECT_TRUE(std::filesystem::is_directory(temp.dataDir()));
    EXPECT_TRUE(std::filesystem::is_directory(temp.configDir()));
  }
  EXPECT_EQ(Env("HOME"), home);
  EXPECT_EQ(Env("XDG_DATA_HOME"), data);
  EXPECT_EQ(Env("XDG_CONFIG_HOME"), config);
  EXPECT_FALSE(std::filesystem::exists(folder));
}

} // namespace
} // namespace folivox::test
