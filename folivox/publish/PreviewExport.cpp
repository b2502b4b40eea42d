#include "publish/PreviewExport.h"

#include "base/FrontDocument.h"
#include "base/Trace.h"

#include <layra/IDataBase.h>
#include <layra/IDocument.h>
#include <layra/IPageList.h>
#include <layra/ISession.h>
#include <layra/SnapshotUtils.h>
#include <layra/StreamUtil.h>

namespace {

constexpr std::int32_t kDrawingFlags = 0x1000;
constexpr std::int32_t kTransparency = 2;

bool WriteJpeg(const IDFile& file, SnapshotUtils& snapshot, std::int32_t quality,
               std::int32_t& result) {
  InterfacePtr<IPMStream> out(StreamUtil::CreateFileStreamWrite(
      file, kOpenOut | kOpenTrunc | kOpenPrivate, kJPEGFileType, kImageCreator));
  if (!out) {
    result = 1;
    return false;
  }
  result = snapshot.ExportImageToJPEG(out, kSSJPEGBaseline, quality);
  out->Flush();
  if (result == 0 && !out->IsGood())
    result = 1;
  return result == 0;
}

// The front document's page list; null, with the reason printed, when there is none.
InterfacePtr<IPageList> QueryFrontPages(InterfacePtr<IDocument>& document) {
  document = QueryFrontDocument();
  if (!document)
    return {};
  InterfacePtr<IPageList> pages(document, UseDefaultIID());
  if (!pages)
    folivox::Trace("Could not get IPageList. Is this really a document\n");
  return pages;
}

} // namespace

std::int32_t ExportPagePreview(const IDFile& file, double xScale, double yScale, double resolution,
                               std::int32_t, std::int32_t, std::int32_t jpegQuality,
                               std::int32_t pageIndex, std::int32_t* width, std::int32_t* height) {
  InterfacePtr<IDocument> document;
  InterfacePtr<IPageList> pages = QueryFrontPages(document);
  if (!pages)
    return 1;
  if (pageIndex < 0 || pageIndex >= pages->GetPageCount())
    return 1;
  const UIDRef page(GetDataBase(document), pages->GetNthPageUID(pageIndex));
  SnapshotUtils snapshot(page, xScale, yScale, resolution, resolution, 0, kDrawingFlags, false,
                         false, false, kTransparency, xScale * 7 / 200, true, false);
  if (snapshot.GetStatus() != 0)
    return 1;
  std::int32_t result = 0;
  if (!WriteJpeg(file, snapshot, jpegQuality, result))
    return result;
  // The JPEG has the raster's size: no need to read the file back for it.
  if (width && height) {
    *width = snapshot.GetWidth();
    *height = snapshot.GetHeight();
  }
  return 0;
}

std::vector<SnapshotUtils::PageResult>
ExportPagePreviews(const std::vector<std::vector<SnapshotUtils::JPEGVariant>>& pages,
                   const std::function<bool(std::size_t)>& pageDone) {
  InterfacePtr<IDocument> document;
  InterfacePtr<IPageList> pageList = QueryFrontPages(document);
  if (!pageList)
    return std::vector<SnapshotUtils::PageResult>(pages.size());
  std::vector<SnapshotUtils::PageJob> jobs;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    // A page the document does not have renders nothing: never another page's picture.
    const auto index = static_cast<std::int32_t>(i);
    const UID uid = index < pageList->GetPageCount() ? pageList->GetNthPageUID(index) : kInvalidUID;
    jobs.push_back({UIDRef(GetDataBase(document), uid), pages[i]});
  }
  return SnapshotUtils::ExportPagesToJPEG(jobs, pageDone);
}
