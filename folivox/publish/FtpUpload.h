#pragma once
// The FTP transfer state shared by the uploads of one send: one libcurl
// handle, made by the first upload and released when the send ends.

#include "publish/Manifest.h"
#include "publish/PublishNames.h"

#include <layra/IDFile.h>
#include <layra/PMString.h>

#include <string>
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

/** Whether libcurl would reach `url` by FTP, the only protocol a send uses; false also when
 *  it cannot read the address at all. */
bool IsFtpUrl(const std::string& url);

/** Uploads every preview and then every manifest, deleting each local file once it was sent.
 *  Stops at the first failed transfer with an alert; true when everything was sent. With a
 *  session, it hears of every file and of the bytes of the running transfer, and a cancel
 *  stops the upload between two files or aborts the running transfer (no alert; the files
 *  not sent stay). */
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
