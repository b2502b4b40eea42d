#include "publish/PreviewExport.h"

#include "publish/FrontDocument.h"

#include <layra/IDataBase.h>
#include <layra/IDocument.h>
#include <layra/IImageReading.h>
#include <layra/IObjectModel.h>
#include <layra/IPageList.h>
#include <layra/ISession.h>
#include <layra/SnapshotUtils.h>
#include <layra/StreamUtil.h>

#include <cstdio>

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

} // namespace

std::int32_t ExportPagePreview(const IDFile& file, double xScale, double yScale, double resolution,
                               std::int32_t, std::int32_t, std::int32_t jpegQuality,
                               std::int32_t pageIndex, std::int32_t* width, std::int32_t* height) {
  InterfacePtr<IDocument> document = QueryFrontDocument();
  if (!document)
    return 1;
  InterfacePtr<IPageList> pages(document, UseDefaultIID());
  if (!pages) {
    std::printf("Could not get IPageList. Is this really a document\n");
    return 1;
  }
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
  if (!width || !height)
    return 0;
  InterfacePtr<IPMStream> in(StreamUtil::CreateFileStreamRead(file));
  if (!in) {
    std::printf("Cannot open stream for file \"%s\".\n", file.GetPath().c_str());
    return 1;
  }
  ReadImageSize(in, *width, *height);
  return 0;
}

void ReadImageSize(IPMStream* stream, std::int32_t& width, std::int32_t& height) {
  InterfacePtr<IImageFormatManager> manager(static_cast<IImageFormatManager*>(
      CreateObject(kImageFormatManagerBoss, IID_IIMAGEFORMATMANAGER)));
  if (!manager) {
    std::printf("iImageFormatManager is nil.\n");
    return;
  }
  InterfacePtr<IImageReadFormat> reader(manager->QueryImageReadFormat(stream));
  if (!reader) {
    std::printf("iImageReadFormat is nil.\n");
    return;
  }
  InterfacePtr<IImageAttributes> attributes(
      static_cast<IImageAttributes*>(CreateObject(kImageAttributesBoss, IID_IIMAGEATTRIBUTES)));
  if (!attributes) {
    std::printf("iImageAttr is nil.\n");
    return;
  }
  if (!reader->CanRead(stream) || !reader->Open(stream) || !reader->GetImageAttributes(attributes))
    return;
  attributes->GetTag(kImageWidthTag, width);
  attributes->GetTag(kImageHeightTag, height);
}
