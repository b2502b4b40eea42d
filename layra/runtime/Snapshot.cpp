#include <layra/SnapshotUtils.h>

#include "Documents.h"

#include <layra/IDataBase.h>
#include <layra/host/PageImage.h>
#include <layra/host/Views.h>

#include <graphics/JpegCodec.h>
#include <graphics/PageRenderer.h>

#include <cstdio>

namespace layra {
namespace {

graphics::Color ToColor(const ItemColor& color) {
  return {color.r, color.g, color.b};
}

graphics::Rect ToRect(const PMRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

std::string StoryText(IDataBase* db, const TextRange& range) {
  InterfacePtr<IStory> story(static_cast<IStory*>(db->Instantiate(range.story, IID_ISTORY)));
  if (!story)
    return {};
  const std::string text = story->GetText();
  if (range.start < 0 || static_cast<std::size_t>(range.start) > text.size())
    return {};
  return text.substr(static_cast<std::size_t>(range.start), static_cast<std::size_t>(range.length));
}

graphics::PageItem SceneItem(IDataBase* db, const PageItemImpl& item) {
  switch (item.kind) {
  case PageItemKind::kText:
    return graphics::TextItem{ToRect(item.bounds), StoryText(db, item.range), item.fontSize,
                              ToColor(item.textColor)};
  case PageItemKind::kImage:
    return graphics::ImageItem{ToRect(item.bounds), item.image};
  case PageItemKind::kRectangle:
    break;
  }
  graphics::RectangleItem rectangle{ToRect(item.bounds), std::nullopt, std::nullopt,
                                    item.strokeWidth};
  if (item.fill)
    rectangle.fill = ToColor(*item.fill);
  if (item.stroke)
    rectangle.stroke = ToColor(*item.stroke);
  return rectangle;
}

std::optional<graphics::PageScene> SceneOf(const UIDRef& pageRef) {
  InterfacePtr<IPage> page(static_cast<IPage*>(pageRef.Instantiate(IID_IPAGE)));
  if (!page)
    return std::nullopt;
  graphics::PageScene scene{page->GetWidth(), page->GetHeight(), {}};
  for (UID uid : page->GetItems()) {
    InterfacePtr<IPageItem> item(
        static_cast<IPageItem*>(pageRef.GetDataBase()->Instantiate(uid, IID_IPAGEITEM)));
    if (item)
      scene.items.push_back(
          SceneItem(pageRef.GetDataBase(), *HostImplementation<PageItemImpl>(item.get())));
  }
  return scene;
}

// One renderer per thread keeps its text layouts, so the variants of one page reuse them.
graphics::PageRenderer& Renderer() {
  thread_local graphics::PageRenderer renderer;
  return renderer;
}

} // namespace

bool RenderPageImage(const UIDRef& page, double scale, PageImage& image, std::string* error) {
  std::optional<graphics::PageScene> scene = SceneOf(page);
  if (!scene) {
    if (error)
      *error = "no such page";
    return false;
  }
  std::optional<graphics::Raster> raster =
      Renderer().RenderPage(*scene, scale, scale, 72, 72, error);
  if (!raster)
    return false;
  image = PageImage{raster->width, raster->height, raster->stride, std::move(raster->pixels)};
  return true;
}

} // namespace layra

struct SnapshotUtils::Picture {
  std::optional<layra::graphics::Raster> raster;
};

SnapshotUtils::SnapshotUtils(const UIDRef& page, double xScale, double yScale, double xResolution,
                             double yResolution, double, std::int32_t, bool, bool, bool,
                             std::int32_t, double, bool, bool)
    : fPicture(std::make_unique<Picture>()) {
  layra::RunBusyHook(); // a window repaints between the pages of a long export
  std::optional<layra::graphics::PageScene> scene = layra::SceneOf(page);
  if (!scene)
    return;
  std::string error;
  fPicture->raster =
      layra::Renderer().RenderPage(*scene, xScale, yScale, xResolution, yResolution, &error);
  if (!fPicture->raster)
    std::fprintf(stderr, "layra: the page cannot be rendered: %s\n", error.c_str());
}

SnapshotUtils::~SnapshotUtils() = default;

ErrorCode SnapshotUtils::GetStatus() const {
  return fPicture->raster ? kSuccess : kFailure;
}

int SnapshotUtils::GetWidth() const {
  return fPicture->raster ? fPicture->raster->width : 0;
}

int SnapshotUtils::GetHeight() const {
  return fPicture->raster ? fPicture->raster->height : 0;
}

ErrorCode SnapshotUtils::ExportImageToJPEG(IPMStream* stream, std::int32_t, std::int32_t quality) {
  if (!fPicture->raster || !stream || !stream->IsWriting())
    return kFailure;
  std::string error;
  auto jpeg = layra::graphics::EncodeJpeg(*fPicture->raster, quality, &error);
  if (!jpeg)
    return kFailure;
  const std::size_t written = stream->XferByte(jpeg->data(), jpeg->size());
  return written == jpeg->size() && stream->IsGood() ? kSuccess : kFailure;
}
