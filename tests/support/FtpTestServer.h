#pragma once

#include "ServerProcess.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace folivox::test {

struct FtpTestServerOptions {
  std::string user = "folivox";
  std::string password = "s3cret";
  // Every login is answered with 530.
  bool refuseLogin = false;
  // The Nth STOR (counting from 1 over the server's life, across connections) is answered
  // with failCode (550 or 552) and stores nothing. 0: none.
  int failStor = 0;
  int failCode = 550;
  // During the Nth STOR the server hangs up both connections once data starts arriving,
  // leaving the first kilobyte it received on disk: a file cut off. 0: none.
  int dropStor = 0;
  // The Nth STOR is never answered, as by a server that hangs in the middle of a send. 0: none.
  int stallStor = 0;
  // Accepts connections and never says anything, not even the greeting.
  bool stall = false;
};

// A real FTP server on 127.0.0.1 serving a fresh temporary folder with one user who may
// write. It records every command it receives so tests can check what a client did.
class FtpTestServer {
public:
  explicit FtpTestServer(FtpTestServerOptions options = {});

  testing::AssertionResult Start();
  void Stop() { fProcess.Stop(); }

  int port() const { return fProcess.port(); }
  pid_t pid() const { return fProcess.pid(); }
  // The served folder; created with the fixture and removed, with its contents, with it.
  std::filesystem::path root() const { return fDir.path() / "root"; }
  const std::string& user() const { return fOptions.user; }
  const std::string& password() const { return fOptions.password; }
  // "ftp://127.0.0.1:<port>", no trailing slash.
  std::string url() const;
  // url() with the percent-encoded user and password in it.
  std::string urlWithLogin() const;

  // Every command received, oldest first, as "<CMD> <arg>" or "<CMD>" when it had no
  // argument. The password of PASS reads "***".
  std::vector<std::string> commands() const;
  // The number of PASS commands received, successful or not.
  int loginCount() const;
  // Every STOR received, oldest first, including ones a fault switch failed, as the absolute
  // path inside root() it named after applying the client's CWDs: "/08_12_05/7/file.jpg".
  std::vector<std::string> storedPaths() const;
  // The bytes of a file under root(); nullopt when there is no such file.
  std::optional<std::string> ReadFile(const std::filesystem::path& relativePath) const;

private:
  std::vector<std::string> Arguments() const;
  std::filesystem::path commandLog() const { return fDir.path() / "commands.log"; }
  std::filesystem::path storLog() const { return fDir.path() / "stor.log"; }

  FtpTestServerOptions fOptions;
  TempDir fDir;
  // Declared after fDir so the server is gone before its folder is removed.
  ServerProcess fProcess;
};

} // namespace folivox::test
