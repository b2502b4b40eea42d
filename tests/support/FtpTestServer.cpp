#include "FtpTestServer.h"

#include "WholeFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <system_error>
#include <utility>

namespace folivox::test {
namespace {

std::string PercentEncode(const std::string& text) {
  std::string encoded;
  for (const unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      encoded += static_cast<char>(c);
      continue;
    }
    char escape[4];
    std::snprintf(escape, sizeof escape, "%%%02X", c);
    encoded += escape;
  }
  return encoded;
}

} // namespace

FtpTestServer::FtpTestServer(FtpTestServerOptions options) : fOptions(std::move(options)) {
  if (fDir.path().empty()) {
    return;
  }
  std::error_code ignored;
  std::filesystem::create_directory(root(), ignored);
}

testing::AssertionResult FtpTestServer::Start() {
  if (fDir.path().empty()) {
    return testing::AssertionFailure() << "cannot create a temporary folder for the FTP server";
  }
  return fProcess.Start(std::filesystem::path(FOLIVOX_TEST_SERVERS_DIR) / "ftp_server.py",
                        Arguments());
}

std::vector<std::string> FtpTestServer::Arguments() const {
  std::vector<std::string> args{"--root",     root().string(),   "--user", fOptions.user,
                                "--password", fOptions.password, "--log",  commandLog().string(),
                                "--stor-log", storLog().string()};
  if (fOptions.refuseLogin) {
    args.push_back("--refuse-login");
  }
  if (fOptions.failStor > 0) {
    args.insert(args.end(), {"--fail-stor", std::to_string(fOptions.failStor), "--fail-code",
                             std::to_string(fOptions.failCode)});
  }
  if (fOptions.stallStor > 0) {
    args.insert(args.end(), {"--stall-stor", std::to_string(fOptions.stallStor)});
  }
  if (fOptions.dropStor > 0) {
    args.insert(args.end(), {"--drop-stor", std::to_string(fOptions.dropStor)});
  }
  if (fOptions.stall) {
    args.push_back("--stall");
  }
  return args;
}

std::string FtpTestServer::url() const {
  return "ftp://127.0.0.1:" + std::to_string(port());
}

std::string FtpTestServer::urlWithLogin() const {
  return "ftp://" + PercentEncode(fOptions.user) + ":" + PercentEncode(fOptions.password) +
         "@127.0.0.1:" + std::to_string(port());
}

std::vector<std::string> FtpTestServer::commands() const {
  return ReadLines(commandLog());
}

int FtpTestServer::loginCount() const {
  const std::vector<std::string> lines = commands();
  return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line == "PASS" || line.rfind("PASS ", 0) == 0;
  }));
}

std::vector<std::string> FtpTestServer::storedPaths() const {
  return ReadLines(storLog());
}

std::optional<std::string>
FtpTestServer::ReadFile(const std::filesystem::path& relativePath) const {
  return TryReadWholeFile(root() / relativePath);
}

} // namespace folivox::test
