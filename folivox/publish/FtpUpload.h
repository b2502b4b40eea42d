#pragma once
// The FTP transfer state shared by the uploads of one send: one libcurl
// handle, made by the first upload and released when the send ends.

#include "publish/Manifest.h"
#include "publish/PublishNames.h"

#include <layra/IDFile.h>
#include <layra/PMString.h>
#include <platform/Files.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class FolivoActionComponent;
class SendSession;

#include <cstdint>

/** UploadFile's result for a local file that could not be opened: reported, and kept. */
constexpr std::int32_t kUploadSkipped = -1;

/** What one send wrote and where it goes. */
struct Publication {
  std::string ftpUrl;
  std::string login;
  PMString macText;
  PMString workingFolder;
  IssueDate date;
  std::int32_t first = 0;
  std::int32_t pageCount = 0;
  std::size_t variantCount = 0;
  /** Page by page, variants in order within a page. */
  std::vector<PreviewEntry> previews;
  /** One per page, in page order. */
  std::vector<IDFile> manifests;
};

/** The login as it stands in the URL, percent-encoded where a character would end its part
 *  there, decoded: an FTP server expects the password itself. Nothing to decode: libcurl gets
 *  the same user and password that the login in one piece would give. */
struct Credentials {
  std::string user;
  std::optional<std::string> password;
};
Credentials DecodeLogin(std::string_view login);

/** Whether libcurl would reach `url` by FTP, the only protocol a send uses; false also when
 *  it cannot read the address at all. */
bool IsFtpUrl(const std::string& url);

/** One file of an upload: the local file, its name in the working folder, where it goes below
 *  the server's folder ("/26_12_07/A/3/name"), and its page. */
struct UploadItem {
  IDFile file;
  std::string name;
  std::string path;
  std::int32_t page = 0;
  /** The file as its record describes it: uploaded only while it is still that file. */
  std::optional<platform::FileIdentity> identity{};
  /** Its upload may have gone through unrecorded (a kill came first): the server is asked
   *  first. Needs a session. */
  bool mayBeOnServer = false;
};

/** Every preview and then every manifest, in upload order. */
std::vector<UploadItem> PlanPublication(const Publication& publication);
/** Uploads `items` to `ftpUrl` with the rules of a send (first failure stops with an alert,
 *  a sent file is deleted, a cancel stops); how many it went through: items.size() when all
 *  went. With a session, the files sent are deleted together as it ends, once their records
 *  are on the disk. */
std::size_t UploadItems(FolivoActionComponent& sender, const std::string& ftpUrl,
                        const std::string& login, const std::vector<UploadItem>& items,
                        SendSession* session);
/** Uploads every preview and then every manifest, deleting each local file once it was sent.
 *  Stops at the first failed transfer with an alert; true when the upload went through to the
 *  end. With a session, the files are the ones it planned and recorded: it hears of every file
 *  (and records each one sent before any is deleted) and of the bytes of the running transfer,
 *  and a cancel stops the upload between two files or aborts the running transfer (no alert;
 *  the files not sent stay in the session's open batch). */
bool UploadPublication(FolivoActionComponent& sender, const Publication& publication,
                       SendSession* session = nullptr);

/** Releases the shared handle so that the next send starts libcurl afresh. */
void ReleaseUploadHandle();
/** Deletes a local file once it was sent; prints a line when that fails. */
void DeleteLocalFile(const IDFile& file);

/** Ends the send's use of the shared handle on every way out. */
class UploadHandleScope {
public:
  UploadHandleScope() = default;
  ~UploadHandleScope() { ReleaseUploadHandle(); }
  UploadHandleScope(const UploadHandleScope&) = delete;
  UploadHandleScope& operator=(const UploadHandleScope&) = delete;
};
