#include "publish/FtpUpload.h"

#include "base/Alerts.h"
#include "base/CHandles.h"
#include "base/PercentEncoding.h"
#include "base/Trace.h"
#include "publish/AlertText.h"
#include "publish/FolivoActionComponent.h"
#include "publish/SendSession.h"
#include "publish/WorkingFolder.h"

#include <layra/FileUtils.h>
#include <platform/Files.h>

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/select.h>
#include <thread>

namespace {

constexpr const char* kUploadProtocol = "ftp";
constexpr long kTransferTimeoutSeconds = 30;
constexpr long kServerSilenceSeconds = 25;
// How long to wait on the sockets when libcurl has set no timer of its own; any activity on
// them ends the wait sooner.
constexpr long kIdleWaitMilliseconds = 1000;
// While a person may cancel, a silent server is not waited on longer than this at a time, so
// that the window stays live and a cancel is taken at once.
constexpr long kCancellableWaitMilliseconds = 50;

struct SharedTransfer {
  CurlEasyHandle handle;
  // libcurl keeps the connection to the server in the multi handle between transfers, so
  // one send logs in once.
  CurlMultiHandle multi;
  bool initialised = false;
  // The send that hears of the running transfer; null when none.
  SendSession* session = nullptr;
  // The file the running upload must still be, as its record describes it; none for files
  // no record describes.
  std::optional<platform::FileIdentity> expected;
};

SharedTransfer gTransfer;

// The C library's fread, in libcurl's callback type.
std::size_t ReadLocalFile(char* buffer, std::size_t size, std::size_t count, void* file) {
  return std::fread(buffer, size, count, static_cast<std::FILE*>(file));
}

CURLcode Initialise() {
  if (gTransfer.initialised)
    return CURLE_OK;
  const CURLcode global = curl_global_init(CURL_GLOBAL_WIN32);
  if (global != CURLE_OK)
    return global;
  gTransfer.handle.reset(curl_easy_init());
  gTransfer.multi.reset(curl_multi_init());
  if (!gTransfer.handle || !gTransfer.multi) {
    ReleaseUploadHandle();
    return CURLE_FAILED_INIT;
  }
  gTransfer.initialised = true;
  return CURLE_OK;
}

// libcurl's transfer-info callback: the bytes sent so far, and a non-zero answer aborts the
// transfer when the person cancelled.
int TransferInfo(void* session, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
  auto* send = static_cast<SendSession*>(session);
  send->FileProgress(static_cast<std::uint64_t>(uploaded));
  return send->Cancelled() ? 1 : 0;
}

CURLcode SetProgress(CURL* h) {
  CURLcode r = CURLE_OK;
  if (!gTransfer.session)
    return r;
  if ((r = curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &TransferInfo)) != CURLE_OK)
    return r;
  return curl_easy_setopt(h, CURLOPT_XFERINFODATA, gTransfer.session);
}

// What every exchange with the server over the shared handle sets: where, as whom, how long.
CURLcode SetConnection(const PMString& url, const PMString& login, bool upload) {
  CURL* h = gTransfer.handle.get();
  const Credentials credentials = DecodeLogin(login.GetUTF8String());
  CURLcode r = CURLE_OK;
  const long quiet = gTransfer.session ? 0L : 1L;
  if ((r = curl_easy_setopt(h, CURLOPT_VERBOSE, 0L)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_NETRC, 0L)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_NOPROGRESS, quiet)) != CURLE_OK ||
      (r = SetProgress(h)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_TIMEOUT, kTransferTimeoutSeconds)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_FTP_RESPONSE_TIMEOUT, kServerSilenceSeconds)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_FTP_CREATE_MISSING_DIRS, 1L)) != CURLE_OK ||
      // The configuration names the destination: it must not make a send write into local
      // folders (file://) or anywhere else but an FTP server, nor be redirected there.
      (r = curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, kUploadProtocol)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, kUploadProtocol)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_URL, url.GrabCString())) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_USERNAME, credentials.user.c_str())) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_PASSWORD,
                            credentials.password ? credentials.password->c_str() : nullptr)) !=
          CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_NOBODY, upload ? 0L : 1L)) != CURLE_OK)
    return r;
  return curl_easy_setopt(h, CURLOPT_UPLOAD, upload ? 1L : 0L);
}

CURLcode SetOptions(const PMString& url, const PMString& login, std::FILE* file) {
  CURL* h = gTransfer.handle.get();
  CURLcode r = CURLE_OK;
  if ((r = SetConnection(url, login, true)) != CURLE_OK ||
      (r = curl_easy_setopt(h, CURLOPT_READFUNCTION, &ReadLocalFile)) != CURLE_OK)
    return r;
  return curl_easy_setopt(h, CURLOPT_READDATA, file);
}

// Whether libcurl gave any socket to wait on. After the reply to EPSV it sometimes has
// none, yet it has work to do at once (connecting the data connection) and sets no timer
// for it; waiting then would sit out the transfer's whole time-out.
bool HasSocketToWaitOn() {
  fd_set read, write, error;
  FD_ZERO(&read);
  FD_ZERO(&write);
  FD_ZERO(&error);
  int highest = -1;
  return curl_multi_fdset(gTransfer.multi.get(), &read, &write, &error, &highest) == CURLM_OK &&
         highest >= 0;
}

// Waits only as long as libcurl asks: not at all when it has work to do at once, else until
// its next timer or activity on its sockets, whichever comes first.
void WaitForWork() {
  long milliseconds = -1;
  if (curl_multi_timeout(gTransfer.multi.get(), &milliseconds) != CURLM_OK || milliseconds == 0)
    return;
  // Nothing to wait on: let the server have the processor, then go on at once.
  if (!HasSocketToWaitOn()) {
    std::this_thread::yield();
    return;
  }
  if (milliseconds < 0)
    milliseconds = kIdleWaitMilliseconds;
  if (gTransfer.session)
    milliseconds = std::min(milliseconds, kCancellableWaitMilliseconds);
  curl_multi_poll(gTransfer.multi.get(), nullptr, 0, static_cast<int>(milliseconds), nullptr);
}

// The easy handle runs through the multi interface: the easy interface sometimes waits a
// whole second for an FTP data connection that is already there.
CURLcode Perform() {
  if (curl_multi_add_handle(gTransfer.multi.get(), gTransfer.handle.get()) != CURLM_OK)
    return CURLE_FAILED_INIT;
  CURLcode result = CURLE_OK;
  int running = 1;
  while (running > 0) {
    if (curl_multi_perform(gTransfer.multi.get(), &running) != CURLM_OK) {
      result = CURLE_SEND_ERROR;
      break;
    }
    // libcurl asks its callback only while data flows; a server that says nothing is
    // cancelled here.
    if (running > 0 && gTransfer.session && gTransfer.session->Cancelled()) {
      result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    if (running > 0)
      WaitForWork();
  }
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(gTransfer.multi.get(), &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == gTransfer.handle.get() &&
        result != CURLE_ABORTED_BY_CALLBACK)
      result = message->data.result;
  }
  curl_multi_remove_handle(gTransfer.multi.get(), gTransfer.handle.get());
  return result;
}

void ReportUploadFailure(std::int32_t result) {
  PMString text("0x122500kCURLInitFailed");
  text.Translate();
  text.Append(" Error: ");
  text.Append(curl_easy_strerror(static_cast<CURLcode>(result)));
  folivox::ShowReport(text, kErrorIcon);
}

/** Tells the send how one file went; nothing without a send. */
void FileEnded(std::size_t index, FileOutcome outcome) {
  if (gTransfer.session)
    gTransfer.session->FileEnded(index, outcome);
}

/** Whether the person cancelled: the upload stops before the next file. */
bool CancelledBefore(std::size_t index) {
  SendSession* session = gTransfer.session;
  if (!session)
    return false;
  if (session->Cancelled()) {
    session->Cancel();
    return true;
  }
  session->FileStarts(index);
  return false;
}

// The size of the file at `url` on the server (libcurl asks SIZE); none when it has no such
// file or does not say.
std::optional<std::uint64_t> RemoteFileSize(const std::string& url, const std::string& login) {
  curl_off_t size = -1;
  if (Initialise() != CURLE_OK ||
      SetConnection(PMString(url, PMString::kDontTranslateDuringCall),
                    PMString(login, PMString::kDontTranslateDuringCall), false) != CURLE_OK ||
      Perform() != CURLE_OK ||
      curl_easy_getinfo(gTransfer.handle.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size) !=
          CURLE_OK ||
      size < 0)
    return std::nullopt;
  return static_cast<std::uint64_t>(size);
}

// A file whose upload may have ended just before a kill, unrecorded, is already on the server
// when the server has it whole: it is not sent a second time.
bool AlreadyOnServer(const UploadItem& item, const std::string& url, const std::string& login) {
  return item.mayBeOnServer && item.identity && gTransfer.session &&
         RemoteFileSize(url, login) == std::optional<std::uint64_t>(item.identity->size);
}

/** Sends one file; false when the transfer failed or was cancelled. A file that could not
 *  be read stays. */
bool Upload(FolivoActionComponent& sender, const std::string& login, const UploadItem& item,
            const std::string& url, std::size_t index) {
  if (CancelledBefore(index))
    return false;
  if (AlreadyOnServer(item, url, login)) {
    gTransfer.session->FileUploaded(index);
    FileEnded(index, FileOutcome::kSent);
    return true;
  }
  gTransfer.expected = item.identity;
  const std::int32_t result = sender.UploadFile(
      FileUtils::IDFileToPMString(item.file), PMString(url, PMString::kDontTranslateDuringCall),
      PMString(login, PMString::kDontTranslateDuringCall));
  gTransfer.expected.reset();
  if (result == kUploadSkipped) {
    FileEnded(index, FileOutcome::kSkipped);
    return true;
  }
  if (result == CURLE_ABORTED_BY_CALLBACK && gTransfer.session && gTransfer.session->Cancelled()) {
    gTransfer.session->Cancel();
    return false;
  }
  if (result != 0) {
    ReportUploadFailure(result);
    FileEnded(index, FileOutcome::kFailed);
    if (gTransfer.session)
      gTransfer.session->Failed("page " + std::to_string(item.page) + ", file " +
                                FileUtils::GetFileName(item.file).GetUTF8String() + ": " +
                                curl_easy_strerror(static_cast<CURLcode>(result)));
    return false;
  }
  if (gTransfer.session)
    gTransfer.session->FileUploaded(index);
  else
    DeleteLocalFile(item.file);
  FileEnded(index, FileOutcome::kSent);
  return true;
}

/** Lets the send hear of the transfers while it lives. */
class SessionScope {
public:
  explicit SessionScope(SendSession* session) { gTransfer.session = session; }
  ~SessionScope() { gTransfer.session = nullptr; }
  SessionScope(const SessionScope&) = delete;
  SessionScope& operator=(const SessionScope&) = delete;
};

} // namespace

Credentials DecodeLogin(std::string_view login) {
  const std::size_t colon = login.find(':');
  if (colon == std::string_view::npos)
    return {PercentDecode(login), std::nullopt};
  return {PercentDecode(login.substr(0, colon)), PercentDecode(login.substr(colon + 1))};
}

bool IsFtpUrl(const std::string& url) {
  const CurlUrlHandle parsed(curl_url());
  char* scheme = nullptr;
  // libcurl's own guess for an address without a scheme, as the transfer would make it.
  if (!parsed ||
      curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), CURLU_GUESS_SCHEME) != CURLUE_OK ||
      curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK)
    return false;
  const bool ftp = std::string_view(scheme) == kUploadProtocol;
  curl_free(scheme);
  return ftp;
}

std::vector<UploadItem> PlanPublication(const Publication& publication) {
  std::vector<UploadItem> items;
  const std::size_t n = publication.variantCount;
  std::int32_t pageNumber = publication.first - 1;
  for (std::size_t k = 0; k < publication.previews.size(); ++k) {
    if (n == 0 || k % n == 0)
      ++pageNumber;
    const std::string& name = publication.previews[k].fileName;
    const auto file = MakeFileInFolder(publication.workingFolder, PMString(name));
    items.push_back({file.value_or(IDFile(name)), name,
                     RemoteLocation("", publication.date, pageNumber, name), pageNumber});
  }
  for (std::size_t k = 0; k < publication.manifests.size(); ++k) {
    const IDFile& file = publication.manifests[k];
    const std::string name = FileUtils::GetBaseFileName(file).GetUTF8String() + ".xml";
    const auto page = publication.first + static_cast<std::int32_t>(k);
    items.push_back({file, FileUtils::GetFileName(file).GetUTF8String(),
                     RemoteLocation("", publication.date, page, name), page});
  }
  return items;
}

std::size_t UploadItems(FolivoActionComponent& sender, const std::string& ftpUrl,
                        const std::string& login, const std::vector<UploadItem>& items,
                        SendSession* session) {
  SessionScope heard(session);
  std::size_t k = 0;
  while (k < items.size() && Upload(sender, login, items[k], ftpUrl + items[k].path, k))
    ++k;
  if (session)
    session->DeleteSentFiles();
  return k;
}

bool UploadPublication(FolivoActionComponent& sender, const Publication& publication,
                       SendSession* session) {
  const std::vector<UploadItem> items =
      session ? session->UploadPlan() : PlanPublication(publication);
  return UploadItems(sender, publication.ftpUrl, publication.login, items, session) == items.size();
}

void ReleaseUploadHandle() {
  // The multi handle first, so that it never holds an easy handle already freed.
  gTransfer.multi.reset();
  gTransfer.handle.reset();
  gTransfer = SharedTransfer{};
}

void DeleteLocalFile(const IDFile& file) {
  if (!platform::DeleteFile(file.GetPath().string()))
    folivox::Trace("Error while DeleteFile.\n");
}

std::int32_t FolivoActionComponent::UploadFile(const PMString& localPath, const PMString& url,
                                               const PMString& login) {
  // A file a record describes is sent only while it is still that file.
  FileHandle file(gTransfer.expected
                      ? platform::OpenIfSame(localPath.GetUTF8String(), *gTransfer.expected)
                      : FileHandle(std::fopen(localPath.GrabCString(), "rb")));
  if (!file) {
    folivox::Trace("Could not open file \"%s\" for reading.", localPath.GrabCString());
    folivox::ShowReport(FormatAlertText(PMString("0x122500kCouldNotOpenFile"), {localPath}),
                        kErrorIcon);
    return kUploadSkipped;
  }
  if (const CURLcode init = Initialise(); init != CURLE_OK)
    return init;
  if (const CURLcode options = SetOptions(url, login, file.get()); options != CURLE_OK)
    return options;
  return Perform();
}
