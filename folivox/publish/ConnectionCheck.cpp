#include "publish/ConnectionCheck.h"

#include "publish/Base64.h"
#include "base/CHandles.h"
#include "publish/ConfigParser.h"
#include "publish/ConfigTransfer.h"
#include "publish/ConfigTree.h"
#include "publish/FtpUpload.h"
#include "publish/PublishNames.h"
#include "publish/SendHistory.h"
#include "publish/UrlPassword.h"

#include <layra/StreamUtil.h>
#include <layra/TaskProgress.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace {

constexpr long kFtpTimeoutSeconds = 15;
constexpr std::int32_t kStepCount = 5;

PMString Plain(const std::string& text) {
  return PMString(text, PMString::kDontTranslateDuringCall);
}

/** A private temporary file for the downloaded configuration, removed with its owner. */
class TemporaryFile {
public:
  TemporaryFile() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "folivox-check-XXXXXX").string();
    if (const platform::Descriptor created(::mkstemp(pattern.data())); created.Get() < 0)
      return;
    fPath = pattern;
  }
  ~TemporaryFile() {
    if (!fPath.empty())
      ::unlink(fPath.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return fPath; }

private:
  std::string fPath;
};

/** What the steps learn and hold on the way. */
struct Check {
  std::string address;
  TemporaryFile download;
  std::string ftpUrl;
  Credentials login;
  CurlEasyHandle ftp{curl_easy_init()};
  TaskProgress* progress = nullptr;
};

// The address without its login: libcurl gets the user and password apart, decoded.
std::string WithoutLogin(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  const std::size_t end = url.find('/', start);
  const std::size_t at = url.substr(0, end).rfind('@');
  if (at == std::string::npos || at < start)
    return url;
  return url.substr(0, start) + url.substr(at + 1);
}

/** The server's root: the address up to its folder. */
std::string ServerRoot(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t slash = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  return (slash == std::string::npos ? url : url.substr(0, slash)) + "/";
}

std::string FolderOf(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t slash = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  return slash == std::string::npos ? "/" : url.substr(slash);
}

// libcurl asks at least once a second, also while the server says nothing; asking the task
// lets the window take the person's clicks.
int Interrupt(void* progress, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<TaskProgress*>(progress)->WasCancelled() ? 1 : 0;
}

// The options of a send's connection that matter here, and a transfer of nothing.
CURLcode Visit(Check& check, const std::string& url) {
  CURL* h = check.ftp.get();
  CURLcode r = CURLE_OK;
  if ((r = curl_easy_setopt(h, CURLOPT_NETRC, 0L)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp")) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_TIMEOUT, kFtpTimeoutSeconds)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_NOBODY, 1L)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_URL, url.c_str())) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_USERNAME, check.login.user.c_str())) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_PASSWORD,
                            check.login.password ? check.login.password->c_str() : nullptr)) !=
          CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &Interrupt)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_XFERINFODATA, check.progress)) != CURLE_OK)
    return r;
  return curl_easy_perform(h);
}

std::string ReachFailure(CURLcode result, const std::string& server) {
  switch (result) {
  case CURLE_COULDNT_RESOLVE_HOST:
  case CURLE_COULDNT_CONNECT:
    return "nothing answers at " + server + "; check the server in the configuration's GRABURL";
  case CURLE_OPERATION_TIMEDOUT:
    return "the server did not answer in time; try again, or check the server in GRABURL";
  case CURLE_ABORTED_BY_CALLBACK:
    return "cancelled";
  default:
    return std::string(curl_easy_strerror(result));
  }
}

std::string Download(Check& check) {
  if (check.download.path().empty())
    return "no temporary file could be made for the download";
  if (check.address.empty())
    return "no configuration address is set; enter it in the preferences";
  curl_global_init(CURL_GLOBAL_ALL);
  const std::optional<CURLcode> result =
      DownloadConfigurationFile(check.address, check.download.path());
  if (!result)
    return "the temporary file could not be written";
  switch (*result) {
  case CURLE_OK:
    return {};
  case CURLE_HTTP_RETURNED_ERROR:
    return "the address answered with an error (such as 404 Not Found); check the "
           "configuration address in the preferences";
  case CURLE_UNSUPPORTED_PROTOCOL:
  case CURLE_URL_MALFORMAT:
    return "this is no address libcurl can fetch; check the configuration address";
  default:
    return ReachFailure(*result, ServerShown(check.address)) + " (" + curl_easy_strerror(*result) +
           ")";
  }
}

std::string ReadConfiguration(Check& check) {
  const InterfacePtr<IPMStream> stream(StreamUtil::CreateFileStreamRead(
      IDFile(check.download.path()), kOpenIn, kAnyFileType, kAnyFileType));
  const std::unique_ptr<ConfigNode> root = stream ? ParseConfigXML(stream) : nullptr;
  const ConfigNode* grabUrl = root ? FindChild(*root, WideString("GRABURL")) : nullptr;
  if (!grabUrl)
    return "the address answers a page that is no configuration (it has no GRABURL); check the "
           "configuration address";
  check.ftpUrl = Base64Decode(grabUrl->text.ToUTF8()).value_or("");
  if (!IsFtpUrl(check.ftpUrl) || LoginOf(check.ftpUrl).empty())
    return "the configuration's GRABURL is no ftp:// address with a user and password; the "
           "configuration on the server needs mending";
  check.login = DecodeLogin(LoginOf(check.ftpUrl));
  return {};
}

std::string LogIn(Check& check) {
  if (!check.ftp)
    return "libcurl could not start";
  const std::string server = ServerRoot(WithoutLogin(check.ftpUrl));
  const CURLcode result = Visit(check, server);
  if (result == CURLE_LOGIN_DENIED)
    return "the server refused the login for user " + check.login.user +
           "; check the user and password in the configuration's GRABURL";
  return result == CURLE_OK ? std::string() : ReachFailure(result, server);
}

std::string WalkToFolder(Check& check) {
  std::string folder = WithoutLogin(check.ftpUrl);
  if (!folder.ends_with("/"))
    folder += "/";
  const CURLcode result = Visit(check, folder);
  if (result == CURLE_REMOTE_ACCESS_DENIED)
    return "the folder " + FolderOf(folder) + " does not exist on the server, or user " +
           check.login.user +
           " may not enter it; check the folder in the configuration's "
           "GRABURL";
  return result == CURLE_OK ? std::string() : ReachFailure(result, FolderOf(folder));
}

std::string Leave(Check& check) {
  // libcurl says QUIT as it lets the connection go.
  check.ftp.reset();
  return {};
}

struct Step {
  std::function<std::string(const Check&)> what;
  std::string (*run)(Check&);
};

} // namespace

std::vector<CheckStep> CheckConnection(const std::string& configurationAddress, Shown shown) {
  TaskProgress progress(Plain("Testing the connection"), kStepCount);
  Check check;
  check.address = configurationAddress;
  check.progress = &progress;
  const Step steps[] = {
      {[shown](const Check& c) {
         const std::string address = shown == Shown::kOnScreen
                                         ? MaskUrlPassword(Plain(c.address)).GetUTF8String()
                                         : MaskedUrl(c.address);
         return "Download the configuration from " + address;
       },
       &Download},
      {[](const Check&) { return std::string("Read the configuration and its GRABURL"); },
       &ReadConfiguration},
      {[](const Check& c) {
         return "Log in to " + ServerRoot(WithoutLogin(c.ftpUrl)) + " as " + c.login.user;
       },
       &LogIn},
      {[](const Check& c) { return "Go to the folder " + FolderOf(WithoutLogin(c.ftpUrl)); },
       &WalkToFolder},
      {[](const Check&) { return std::string("Leave the server (QUIT)"); }, &Leave}};
  std::vector<CheckStep> done;
  for (const Step& step : steps) {
    CheckStep line;
    line.what = step.what(check);
    progress.Advance(Plain(line.what), 1);
    const auto start = std::chrono::steady_clock::now();
    line.why = progress.WasCancelled() ? std::string("cancelled") : step.run(check);
    line.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
    line.passed = line.why.empty();
    done.push_back(line);
    if (!line.passed)
      break;
  }
  return done;
}

std::string CheckLine(const CheckStep& step) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s", static_cast<double>(step.milliseconds) / 1e3);
  return std::string(step.passed ? "passed  " : "FAILED  ") + step.what + "  " + seconds +
         (step.passed ? "" : ": " + step.why);
}

std::string CheckText(const std::vector<CheckStep>& steps) {
  std::string text;
  for (const CheckStep& step : steps)
    text += CheckLine(step) + "\n";
  return text;
}

bool CheckPassed(const std::vector<CheckStep>& steps) {
  return !steps.empty() && steps.back().passed && steps.size() == kStepCount;
}
