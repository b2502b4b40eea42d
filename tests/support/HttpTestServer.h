#pragma once

#include "ServerProcess.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace folivox::test {

struct HttpTestServerOptions {
  // Folder served for GET; empty: a fresh temporary folder the fixture creates and removes.
  std::filesystem::path root{};
  // When set, every GET is answered with this file's bytes, whatever the path.
  std::filesystem::path bodyFile{};
  // When not 0, every request is answered with this status (and bodyFile, if set, as body).
  int status = 0;
  // Reads requests but never answers them.
  bool stall = false;
  // Sends bodies in chunks, without a Content-Length.
  bool chunked = false;
  // "user:password": requests without these basic credentials get 401.
  std::string auth{};
};

// A real HTTP/1.1 server on 127.0.0.1 that records every request it receives. Requests with
// an absolute URI (a client using it as its proxy) are served by the URI's path.
class HttpTestServer {
public:
  explicit HttpTestServer(HttpTestServerOptions options = {});

  testing::AssertionResult Start();
  void Stop() { fProcess.Stop(); }

  int port() const { return fProcess.port(); }
  pid_t pid() const { return fProcess.pid(); }
  std::filesystem::path root() const;
  // "http://127.0.0.1:<port>" followed by path, with a '/' put in front when missing.
  std::string url(std::string_view path = "/") const;
  // Writes a file under root(), creating folders; may be called before Start().
  bool PutFile(const std::filesystem::path& name, std::string_view bytes) const;

  // One line per request, oldest first: request line, Authorization and Proxy-Authorization
  // separated by tabs, each header being "-" when absent.
  std::vector<std::string> requests() const;
  int requestCount() const { return static_cast<int>(requests().size()); }
  // Just the request lines, e.g. "GET /a.jpg?x=1 HTTP/1.1".
  std::vector<std::string> requestLines() const { return Field(0); }
  // The Authorization header of each request; "" when it had none.
  std::vector<std::string> authorizations() const { return Field(1); }
  // The Proxy-Authorization header of each request; "" when it had none.
  std::vector<std::string> proxyAuthorizations() const { return Field(2); }

private:
  std::vector<std::string> Arguments() const;
  std::vector<std::string> Field(size_t index) const;
  std::filesystem::path requestLog() const { return fDir.path() / "requests.log"; }

  HttpTestServerOptions fOptions;
  TempDir fDir;
  // Declared after fDir so the server is gone before its folder is removed.
  ServerProcess fProcess;
};

} // namespace folivox::test
