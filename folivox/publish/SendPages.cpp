// Publishing the front document: previews of every page and variant, one
// manifest per page, and the upload of both to the server.

#include "base/Alerts.h"
#include "base/FrontDocument.h"
#include "base/MachineIdentity.h"
#include "base/Trace.h"
#include "panel/FolivoTreeInformator.h"
#include "publish/AlertText.h"
#include "publish/ConfigTree.h"
#include "publish/FolivoActionComponent.h"
#include "publish/FtpUpload.h"
#include "publish/Manifest.h"
#include "publish/PreviewExport.h"
#include "publish/PublishNames.h"
#include "publish/WorkingFolder.h"

#include <layra/IDocument.h>
#include <layra/IPageList.h>
#include <layra/ISession.h>
#include <layra/StreamUtil.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

std::optional<bool> ReadyFlag(std::int32_t pageIndex) {
  if (!gFolivoTreeInformator)
    return std::nullopt;
  for (const PageStatusEntry& entry : gFolivoTreeInformator->GetPageStatuses()) {
    if (entry.pageIndex == pageIndex && entry.ready)
      return true;
  }
  return false;
}

bool WriteManifest(const IDFile& file, const std::string& text) {
  InterfacePtr<IPMStream> out(StreamUtil::CreateFileStreamWrite(file, kOpenOut | kOpenPrivate));
  if (!out)
    return false;
  std::vector<unsigned char> bytes(text.begin(), text.end());
  out->XferByte(bytes.data(), bytes.size());
  out->Flush();
  return out->IsGood();
}

// How long a send waits at most for the clock to give its files names no other file has.
constexpr int kNamingAttempts = 3;

// Every file of the send, named before any is made, in upload order: each page's previews,
// variant by variant, then each page's manifest. Each name reads the clock anew; a name some
// file in the working folder has already (an earlier send of this second left it) is not
// taken: the send waits for the next second and names its files again.
std::vector<PendingFile> NameFiles(const Publication& run,
                                   const std::vector<PreviewQuality>& variants) {
  std::vector<PendingFile> files;
  for (int attempt = 0; attempt < kNamingAttempts; ++attempt) {
    files.clear();
    bool taken = false;
    const auto add = [&](std::int32_t page, const std::string& ending) {
      PendingFile file{page, PublishFileName(run.date, page, CurrentTimeStamp(), ending), {}};
      file.path = RemoteLocation("", run.date, page, file.name);
      std::error_code error;
      taken = taken || std::filesystem::symlink_status(PendingFilePath(file), error).type() !=
                           std::filesystem::file_type::not_found;
      files.push_back(std::move(file));
    };
    for (std::int32_t i = 0; i < run.pageCount; ++i)
      for (const PreviewQuality& variant : variants)
        add(run.first + i, variant.suffix.GetUTF8String() + ".jpg");
    for (std::int32_t i = 0; i < run.pageCount; ++i)
      add(run.first + i, ".xml");
    if (!taken)
      return files;
    const std::int32_t now = CurrentTimeStamp();
    while (CurrentTimeStamp() == now)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return files; // the exclusive creation refuses the taken name, with an alert
}

// What the host renders into the send's previews, page by page.
std::vector<std::vector<SnapshotUtils::JPEGVariant>>
PreviewRequests(const Publication& run, const std::vector<PendingFile>& files,
                const std::vector<PreviewQuality>& variants) {
  std::vector<std::vector<SnapshotUtils::JPEGVariant>> pages(
      static_cast<std::size_t>(run.pageCount));
  for (std::size_t i = 0; i < pages.size(); ++i)
    for (std::size_t k = 0; k < variants.size(); ++k) {
      const PreviewQuality& variant = variants[k];
      pages[i].push_back({variant.xScale, variant.yScale, variant.resolution, variant.jpegQuality,
                          IDFile(PendingFilePath(files[i * variants.size() + k])), true});
    }
  return pages;
}

// Lists the previews written, page by page, and reports each page that lacks one, in page
// order, as when the previews were rendered one after another.
bool RecordPreviews(SendSession& session, Publication& run, const std::vector<PendingFile>& files,
                    const std::vector<SnapshotUtils::PageResult>& results,
                    std::size_t variantCount) {
  bool failed = false;
  std::vector<std::size_t> made;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const auto& written = results[i].written;
    for (std::size_t k = 0; k < written.size(); ++k) {
      run.previews.push_back(
          {files[i * variantCount + k].name, written[k].width, written[k].height});
      made.push_back(i * variantCount + k);
    }
    if (written.size() < variantCount) {
      folivox::ShowReport("0x122500kCouldNotExportPage", kErrorIcon);
      if (!failed)
        session.Failed("could not render page " +
                       std::to_string(run.first + static_cast<std::int32_t>(i)));
      failed = true;
    }
  }
  return !failed && session.FilesMade(made);
}

// The pages render side by side on the host's workers; this thread waits for all of them,
// reporting each finished page. A cancel leaves the pages not yet begun unrendered.
bool ExportPreviews(SendSession& session, Publication& run, const std::vector<PendingFile>& files,
                    const std::vector<PreviewQuality>& variants) {
  const std::vector<SnapshotUtils::PageResult> results =
      ExportPagePreviews(PreviewRequests(run, files, variants), [&](std::size_t page) {
        session.PageRendered(run.first + static_cast<std::int32_t>(page));
        return !session.Cancelled();
      });
  if (session.Cancelled()) {
    session.Cancel();
    return false;
  }
  return RecordPreviews(session, run, files, results, variants.size());
}

bool WriteManifests(SendSession& session, Publication& run, const std::vector<PendingFile>& files,
                    const std::vector<PreviewQuality>& variants) {
  const std::size_t n = variants.size();
  const std::size_t first = static_cast<std::size_t>(run.pageCount) * n;
  std::vector<std::size_t> made;
  for (std::int32_t i = 0; i < run.pageCount; ++i) {
    const std::size_t index = first + static_cast<std::size_t>(i);
    const IDFile file(PendingFilePath(files[index]));
    const auto begin =
        run.previews.begin() + static_cast<std::ptrdiff_t>(n * static_cast<std::size_t>(i));
    const std::string text = BuildManifest(
        run.macText.GetUTF8String(), GetManifestUserName().GetUTF8String(), ReadyFlag(i), variants,
        std::vector<PreviewEntry>(begin, begin + static_cast<std::ptrdiff_t>(n)));
    if (!WriteManifest(file, text)) {
      const PMString path(file.GetPath().string());
      folivox::ShowReport(
          FormatAlertText(PMString("0x122500KCouldNotCreateXMLFileForGroupPreview"), {path}),
          kErrorIcon);
      session.Failed("could not write the manifest " + path.GetUTF8String());
      return false;
    }
    run.manifests.push_back(file);
    made.push_back(index);
    session.ManifestWritten(run.first + i);
  }
  return session.FilesMade(made);
}

// What is wrong with the configuration's GRABURL for a send; null when nothing is.
const char* GrabUrlFault(const ConfigNode* grabUrl, const Publication& run) {
  if (!grabUrl)
    return "the configuration has no GRABURL";
  if (!IsFtpUrl(run.ftpUrl))
    return "the configuration's GRABURL is no ftp:// address";
  if (run.login.empty())
    return "the configuration's GRABURL has no login";
  return nullptr;
}

// Computed wide: the parsed numbers may span the whole range of an int.
std::int64_t PageCountOf(std::int32_t first, std::int32_t last) {
  const std::int64_t end = last == 0 ? first : last;
  return end - first + 1;
}

void ReportUnfitName(const std::string& piece) {
  std::string shown = piece;
  std::replace_if(
      shown.begin(), shown.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }, '?');
  folivox::ShowReport(FormatAlertText(PMString("0x122500kDocumentNameUnfitForServer"),
                                      {PMString(shown, PMString::kDontTranslateDuringCall)}),
                      kErrorIcon);
}

} // namespace

void FolivoActionComponent::SendPages(SendOrigin origin) {
  SendSession session(origin);
  // Whatever way the send ends, the next one starts libcurl afresh.
  UploadHandleScope transfer;
  Publication run;
  if (!PrepareSend(session, run) || !session.TakeRecordsLock())
    return;
  const std::vector<PendingFile> files = NameFiles(run, fPreviewVariants);
  if (!session.PlanFiles(files) || !ExportPreviews(session, run, files, fPreviewVariants) ||
      !WriteManifests(session, run, files, fPreviewVariants))
    return;
  run.variantCount = fPreviewVariants.size();
  if (!UploadPublication(*this, run, &session))
    return;
  if (session.SkippedFiles().empty())
    session.Sent();
  else
    session.Failed("could not open " + session.SkippedFiles() + "; it stays pending");
  RefreshPanelPageList();
}

bool FolivoActionComponent::PrepareSend(SendSession& session, Publication& run) {
  ResetParsedFields();
  if (!AcquireConfiguration() || !fConfiguration) {
    session.Failed("no configuration file was loaded");
    return false;
  }
  const ConfigNode* grabUrl = FindChild(*fConfiguration, WideString("GRABURL"));
  run.ftpUrl = ConfiguredFtpUrl();
  folivox::Trace("ftp = '%s'\n", MaskedUrl(run.ftpUrl).c_str());
  session.SetServer(run.ftpUrl);
  run.macText = GetMacAddressText();

  InterfacePtr<IDocument> document = QueryFrontDocument();
  InterfacePtr<IPageList> pages(document, UseDefaultIID());
  if (!document || !pages) {
    session.NothingSent("no document is open");
    return false;
  }
  PMString name;
  document->GetName(name);
  session.SetDocument(name.GetUTF8String());
  if (ParseDocumentName(name) != 0) {
    folivox::Trace("Could not parse documentName using regex functions.\n");
    session.NothingSent("the document name \"" + name.GetUTF8String() +
                        "\" matches no rule of the configuration");
    return false;
  }
  run.workingFolder = GetWorkingFolder();
  if (run.workingFolder.IsEmpty()) {
    folivox::ShowReport("0x122500kCouldNotGetTempFolder", kErrorIcon);
    session.Failed("no folder for temporary files");
    return false;
  }
  run.login = LoginOf(run.ftpUrl);
  if (const char* why = GrabUrlFault(grabUrl, run)) {
    folivox::ShowReport("0x122500kConfigFileDoesNotHaveProperGRABURLKey", kErrorIcon);
    session.Failed(why);
    return false;
  }
  run.date = IssueDate{fMiniYear, fMonth, fDay, fEdition};
  if (const std::optional<std::string> piece = UnfitNamePiece(run.date)) {
    ReportUnfitName(*piece);
    session.Failed("the document name gives \"" + *piece + "\", unfit for the server");
    return false;
  }
  run.first = std::atoi(fFirstPage.c_str());
  const std::int32_t last = std::atoi(fLastPage.c_str());
  session.SetPages(run.first, last == 0 ? run.first : last);
  const std::int64_t count = PageCountOf(run.first, last);
  if (count <= 0) {
    session.NothingSent("the page range " + std::to_string(run.first) + "\u2013" +
                        std::to_string(last) + " of the document name is reversed");
    return false;
  }
  // A range the document does not have is refused once, before anything is rendered.
  if (count > pages->GetPageCount()) {
    folivox::ShowReport("0x122500kCouldNotExportPage", kErrorIcon);
    session.Failed("the document name gives " + std::to_string(count) +
                   " pages, the document has " + std::to_string(pages->GetPageCount()));
    return false;
  }
  run.pageCount = static_cast<std::int32_t>(count);
  session.BeginWork(run.pageCount, fPreviewVariants.size());
  return true;
}
