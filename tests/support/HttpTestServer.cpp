#include "HttpTestServer.h"

#include "WholeFile.h"

#include <sstream>
#include <system_error>
#include <utility>

namespace folivox::test {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) {
    fields.push_back(field);
  }
  return fields;
}

} // namespace

HttpTestServer::HttpTestServer(HttpTestServerOptions options) : fOptions(std::move(options)) {
  if (fDir.path().empty()) {
    return;
  }
  std::error_code ignored;
  std::filesystem::create_directories(root(), ignored);
}

std::filesystem::path HttpTestServer::root() const {
  return fOptions.root.empty() ? fDir.path() / "root" : fOptions.root;
}

testing::AssertionResult HttpTestServer::Start() {
  if (fDir.path().empty()) {
    return testing::AssertionFailure() << "cannot create a temporary folder for the HTTP server";
  }
  return fProcess.Start(std::filesystem::path(FOLIVOX_TEST_SERVERS_DIR) / "http_server.py",
                        Arguments());
}

std::vector<std::string> HttpTestServer::Arguments() const {
  std::vector<std::string> args{"--root", root().string(), "--log", requestLog().string()};
  if (!fOptions.bodyFile.empty()) {
    args.insert(args.end(), {"--body-file", fOptions.bodyFile.string()});
  }
  if (fOptions.status != 0) {
    args.insert(args.end(), {"--status", std::to_string(fOptions.status)});
  }
  if (fOptions.stall) {
    args.push_back("--stall");
  }
  if (fOptions.chunked) {
    args.push_back("--chunked");
  }
  if (!fOptions.auth.empty()) {
    args.insert(args.end(), {"--auth", fOptions.auth});
  }
  return args;
}

std::string HttpTestServer::url(std::string_view path) const {
  std::string result = "http://127.0.0.1:" + std::to_string(port());
  if (path.empty() || path.front() != '/') {
    result += '/';
  }
  result += path;
  return result;
}

bool HttpTestServer::PutFile(const std::filesystem::path& name, std::string_view bytes) const {
  return WriteWholeFile(root() / name, bytes);
}

std::vector<std::string> HttpTestServer::requests() const {
  return ReadLines(requestLog());
}

std::vector<std::string> HttpTestServer::Field(size_t index) const {
  std::vector<std::string> values;
  for (const std::string& line : requests()) {
    const std::vector<std::string> fields = SplitTabs(line);
    const bool present = index < fields.size() && fields[index] != "-";
    values.push_back(present ? fields[index] : std::string());
  }
  return values;
}

} // namespace folivox::test
