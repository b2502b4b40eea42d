#include "publish/ConnectionCheck.h"

#include "base/CHandles.h"
#include "publish/Base64.h"
#include "publish/ConfigParser.h"
#include "publish/ConfigTransfer.h"
#include "publish/ConfigTree.h"
#include "publish/FtpUpload.h"
#include "publish/PublishNames.h"
#include "publish/UrlPassword.h"

#include <layra/TaskProgress.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string_view>
#include <utility>

namespace {

constexpr long kFtpTimeoutSeconds = 15;
constexpr std::int32_t kStepCount = 5;

PMString Plain(const std::string& text) {
  return PMString(text, PMString::kDontTranslateDuringCall);
}

/** What the steps learn and hold on the way. */
struct Check {
  std::string address;
  Shown shown = Shown::kOnScreen;
  std::string configuration;
  std::string ftpUrl;
  Credentials login;
  CurlEasyHandle ftp{curl_easy_init()};
  TaskProgress* progress = nullptr;
  /** What the step that ran last found worth knowing. */
  std::string note;
};

// Where each address comes from, for the advice of a step that cannot reach it.
constexpr char kConfigurationAddress[] = "the configuration address in the preferences";
constexpr char kGrabUrlServer[] = "the server in the configuration's GRABURL";

/** An address as the check shows it: bullets for its password on screen, "***" in a trace. */
std::string Showable(const std::string& url, Shown shown) {
  return shown == Shown::kOnScreen ? MaskUrlPassword(Plain(url)).GetUTF8String() : MaskedUrl(url);
}

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

/** Looks for one name in a folder's listing, one name a line, as it arrives. */
struct Listing {
  std::string name;
  std::string pending{};
  bool found = false;
};

std::size_t ScanListing(char* data, std::size_t size, std::size_t count, void* context) {
  auto* listing = static_cast<Listing*>(context);
  listing->pending.append(data, size * count);
  for (std::size_t end; (end = listing->pending.find('\n')) != std::string::npos;
       listing->pending.erase(0, end + 1)) {
    std::string_view line(listing->pending.data(), end);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    listing->found = listing->found || line == listing->name;
  }
  return size * count;
}

// The options of a send's connection that matter here, and a transfer of nothing, or of the
// folder's listing into `listing`.
CURLcode Visit(Check& check, const std::string& url, Listing* listing = nullptr) {
  CURL* h = check.ftp.get();
  CURLcode r = CURLE_OK;
  if ((r = curl_easy_setopt(h, CURLOPT_NETRC, 0L)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp")) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_TIMEOUT, kFtpTimeoutSeconds)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_NOBODY, listing ? 0L : 1L)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_DIRLISTONLY, listing ? 1L : 0L)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &ScanListing)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_WRITEDATA, listing)) != CURLE_OK ||
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

// `where` names where the server's address comes from.
std::string ReachFailure(CURLcode result, const std::string& server, const char* where) {
  switch (result) {
  case CURLE_COULDNT_RESOLVE_HOST:
  case CURLE_COULDNT_CONNECT:
    return "nothing answers at " + server + "; check " + std::string(where);
  case CURLE_OPERATION_TIMEDOUT:
    return "the server did not answer in time; try again, or check " + std::string(where);
  case CURLE_ABORTED_BY_CALLBACK:
    return "cancelled";
  default:
    return std::string(curl_easy_strerror(result));
  }
}

// The status line as the server sent it, and what to do about it.
std::string HttpFailure(const Check& check, const ConfigurationAnswer& answer) {
  const std::string answered =
      Showable(check.address, check.shown) + " answered " + answer.statusLine;
  if (answer.status >= 300 && answer.status < 400)
    return answered + ": the configuration has moved" +
           (answer.movedTo.empty() ? "" : " to " + Showable(answer.movedTo, check.shown)) +
           "; enter its new address in the preferences";
  if (answer.status == 401 || answer.status == 403)
    return answered + "; check the user and password of the configuration address";
  if (answer.status >= 500)
    return answered + ": the web server has a problem; try again later, or ask its administrator";
  return answered + "; check " + std::string(kConfigurationAddress);
}

std::string Download(Check& check) {
  if (check.address.empty())
    return "no configuration address is set; enter it in the preferences (\"Show "
           "preferences...\" in the palette's menu)";
  curl_global_init(CURL_GLOBAL_ALL);
  ConfigurationAnswer answer = FetchConfiguration(check.address);
  switch (answer.result) {
  case CURLE_OK:
    check.configuration = std::move(answer.bytes);
    return {};
  case CURLE_HTTP_RETURNED_ERROR:
    return HttpFailure(check, answer);
  case CURLE_UNSUPPORTED_PROTOCOL:
  case CURLE_URL_MALFORMAT:
    return "this is no address libcurl can fetch; check the configuration address";
  default:
    return ReachFailure(answer.result, Showable(check.address, check.shown),
                        kConfigurationAddress) +
           " (" + curl_easy_strerror(answer.result) + ")";
  }
}

std::string ReadConfiguration(Check& check) {
  const std::unique_ptr<ConfigNode> root = ParseConfigText(check.configuration);
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
  return result == CURLE_OK ? std::string() : ReachFailure(result, server, kGrabUrlServer);
}

// The folder above `folder` (an address ending in '/'); empty at the server's root, whose
// address is `rootLength` long.
std::string Parent(const std::string& folder, std::size_t rootLength) {
  if (folder.size() <= rootLength)
    return {};
  const std::size_t slash = folder.rfind('/', folder.size() - 2);
  return slash == std::string::npos || slash + 1 < rootLength ? std::string()
                                                              : folder.substr(0, slash + 1);
}

// The first name of `folder` below `above`, a folder above it.
std::string NameBelow(const std::string& folder, const std::string& above) {
  const std::size_t start = folder.find_first_not_of('/', above.size());
  return start == std::string::npos ? std::string()
                                    : folder.substr(start, folder.find('/', start) - start);
}

std::string NotEntered(const Check& check, const std::string& folder) {
  return "the folder " + FolderOf(folder) + " does not exist on the server, or user " +
         check.login.user + " may not enter it; check the folder in the configuration's GRABURL";
}

// The first send makes what is missing of the folder (CURLOPT_FTP_CREATE_MISSING_DIRS), so a
// folder that is not there yet is fine when the nearest one above it can be entered and the
// name to make there is free.
std::string WalkToFolder(Check& check) {
  std::string folder = WithoutLogin(check.ftpUrl);
  if (!folder.ends_with("/"))
    folder += "/";
  const std::size_t rootLength = ServerRoot(folder).size();
  std::string entered = folder;
  CURLcode result = Visit(check, entered);
  for (std::string up = Parent(entered, rootLength);
       result == CURLE_REMOTE_ACCESS_DENIED && !up.empty(); up = Parent(entered, rootLength)) {
    entered = up;
    result = Visit(check, entered);
  }
  if (result == CURLE_REMOTE_ACCESS_DENIED)
    return NotEntered(check, folder);
  if (result != CURLE_OK)
    return ReachFailure(result, FolderOf(entered), kGrabUrlServer);
  if (entered == folder)
    return {};
  Listing listing{NameBelow(folder, entered)};
  // Some servers answer the listing of an empty folder with 550, which libcurl reports so.
  if (const CURLcode listed = Visit(check, entered, &listing);
      listed != CURLE_OK && listed != CURLE_FTP_COULDNT_RETR_FILE)
    return ReachFailure(listed, FolderOf(entered), kGrabUrlServer);
  // Something of that name that could not be entered: a file, or a folder closed to the user.
  if (listing.found)
    return NotEntered(check, entered + listing.name + "/");
  check.note = FolderOf(folder) + " does not exist yet; it will be made at the first send, in " +
               FolderOf(entered);
  return {};
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
  check.shown = shown;
  check.progress = &progress;
  const Step steps[] = {
      {[](const Check& c) {
         return c.address.empty()
                    ? std::string("Find the configuration address")
                    : "Download the configuration from " + Showable(c.address, c.shown);
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
    line.note = std::exchange(check.note, {});
    done.push_back(line);
    if (!line.passed)
      break;
  }
  return done;
}

std::string CheckLine(const CheckStep& step) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s", static_cast<double>(step.milliseconds) / 1e3);
  const std::string& told = step.passed ? step.note : step.why;
  return std::string(step.passed ? "passed  " : "FAILED  ") + step.what + "  " + seconds +
         (told.empty() ? "" : ": " + told);
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
