#pragma once
// A host with the real plug-in, its configuration served by a local HTTP
// server and its pages going to a local FTP server.

#include "FtpTestServer.h"
#include "HttpTestServer.h"
#include "TempHome.h"

#include <layra/host/Host.h>

#include <memory>
#include <string>

namespace folivox::test {

struct ConfigurationText {
  /** Replaces the default variants when not empty. */
  std::string variants{};
  /** The decoded GRABURL; the FTP server's address with its login and `folder` when empty. */
  std::string grabUrl{};
  bool withGrabUrl = true;
  std::string folder = "/pages";
  /** Replaces the default DOCNAME rule when not empty. */
  std::string docName{};
};

class PublishingSetup {
public:
  /** `locale`: the host's language, 1 English, 16 Polish. */
  explicit PublishingSetup(FtpTestServerOptions ftp = {}, int locale = 1);

  /** Serves the configuration, stores its address in the host's preferences and starts the
   *  host, which downloads it. */
  testing::AssertionResult Start(const ConfigurationText& configuration = {});
  /** A document of `pages` pages saved as `name` in the home folder, opened in front. */
  UIDRef OpenDocument(const std::string& name, int pages);
  void Send();
  /** Shuts the host down and starts it again on the same home. */
  void Restart();

  layra::Host& host() { return *fHost; }
  FtpTestServer& ftp() { return fFtp; }
  HttpTestServer& http() { return fHttp; }
  TempHome& home() { return fHome; }
  std::filesystem::path workingFolder() const { return fHome.dataDir(); }
  /** Files in the working folder other than the configuration and the send history. */
  std::vector<std::string> LeftInWorkingFolder() const;
  std::string ConfigurationXml(const ConfigurationText& configuration) const;

private:
  std::unique_ptr<layra::Host> MakeHost();

  TempHome fHome;
  FtpTestServer fFtp;
  HttpTestServer fHttp;
  std::unique_ptr<layra::Host> fHost;
  int fLocale;
};

} // namespace folivox::test
