#include <layra/SnapshotUtils.h>

#include "../model/MainThread.h"
#include "Documents.h"
#include "RenderWorkers.h"

#include <layra/IDataBase.h>
#include <layra/StreamUtil.h>
#include <layra/host/PageImage.h>
#include <layra/host/Views.h>

#include <graphics/JpegCodec.h>
#include <graphics/PageRenderer.h>
#include <graphics/PictureCache.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

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

// The host's cache folder, as the XDG base directories place it; empty when there is no home.
std::filesystem::path PictureCacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && *cache == '/')
    return std::filesystem::path(cache) / "layra" / "pictures";
  const char* home = std::getenv("HOME");
  if (home && *home == '/')
    return std::filesystem::path(home) / ".cache" / "layra" / "pictures";
  return {};
}

// Pictures decoded by any thread serve every other one, and later runs through the folder.
graphics::PictureCache& Pictures() {
  static graphics::PictureCache pictures(
      graphics::PictureCache::kDefaultBudget,
      graphics::PictureFolder(&PictureCacheFolder, graphics::PictureFolder::kDefaultBudget));
  return pictures;
}

// What each thread renders and encodes with, kept between pages: the renderer's text layouts
// serve the variants of one page, and the raster and the encoder's output buffer are reused
// (a print-size page takes tens of megabytes, which the system would map and fault in afresh).
struct RenderTools {
  graphics::PageRenderer renderer{&Pictures()};
  graphics::Raster raster{0, 0, 0, {}};
  graphics::JpegEncoder encoder;
};

RenderTools& Tools() {
  thread_local RenderTools tools;
  return tools;
}

graphics::PageRenderer& Renderer() {
  return Tools().renderer;
}

} // namespace

Result<void> RenderPageImage(const UIDRef& page, double scale, PageImage& image) {
  std::optional<graphics::PageScene> scene = SceneOf(page);
  if (!scene)
    return Failure{"no such page"};
  graphics::Raster raster{0, 0, 0, std::move(image.pixels)};
  std::string error;
  const bool rendered = Renderer().RenderInto(*scene, scale, scale, 72, 72, raster, &error);
  image = PageImage{raster.width, raster.height, raster.stride, std::move(raster.pixels)};
  if (!rendered)
    return Failure{error};
  return {};
}

namespace {

// A text frame as the renderer lays it out.
struct FrameText {
  PMRect bounds;
  TextRange range;
  double fontSize;
  graphics::TextCarets carets;
};

std::optional<FrameText> LaidOut(const UIDRef& frame) {
  InterfacePtr<IPageItem> item(static_cast<IPageItem*>(frame.Instantiate(IID_IPAGEITEM)));
  if (!item || item->GetKind() != PageItemKind::kText)
    return std::nullopt;
  const PageItemImpl& impl = *HostImplementation<PageItemImpl>(item.get());
  const auto text = std::get<graphics::TextItem>(SceneItem(frame.GetDataBase(), impl));
  return FrameText{impl.bounds, impl.range, impl.fontSize, Renderer().Carets(text)};
}

} // namespace

std::int32_t TextPositionAt(const UIDRef& frame, double x, double y) {
  const std::optional<FrameText> text = LaidOut(frame);
  if (!text)
    return -1;
  const std::size_t offset = text->carets.OffsetAt(x - text->bounds.left, y - text->bounds.top);
  return text->range.start + static_cast<std::int32_t>(offset);
}

std::optional<PMRect> TextCaret(const UIDRef& frame, std::int32_t at) {
  const std::optional<FrameText> text = LaidOut(frame);
  if (!text || at < text->range.start || at > text->range.start + text->range.length)
    return std::nullopt;
  const PMRect& frameBounds = text->bounds;
  // A frame showing no text still takes a caret: where its first line would start.
  if (text->carets.Lines().empty())
    return PMRect{frameBounds.left, frameBounds.top, frameBounds.left,
                  frameBounds.top + text->fontSize};
  const auto caret = text->carets.CaretAt(static_cast<std::size_t>(at - text->range.start));
  if (!caret)
    return std::nullopt;
  const double x = frameBounds.left + caret->x;
  return PMRect{x, frameBounds.top + caret->top, x, frameBounds.top + caret->bottom};
}

std::vector<PMRect> TextRangeAreas(const UIDRef& frame, std::int32_t start, std::int32_t end) {
  const std::optional<FrameText> text = LaidOut(frame);
  std::vector<PMRect> areas;
  if (!text || end <= text->range.start || start >= text->range.start + text->range.length)
    return areas;
  const auto local = [&](std::int32_t at) {
    return static_cast<std::size_t>(std::max(at - text->range.start, 0));
  };
  for (const graphics::Rect& r : text->carets.Areas(local(start), local(end)))
    areas.push_back(PMRect{text->bounds.left + r.left, text->bounds.top + r.top,
                           text->bounds.left + r.right, text->bounds.top + r.bottom});
  return areas;
}

} // namespace layra

// Borrows its thread's raster buffer and hands it back when done, so the next snapshot reuses
// it; a snapshot made while another is alive on the thread gets a buffer of its own.
struct SnapshotUtils::Picture {
  layra::graphics::Raster raster{0, 0, 0, std::move(layra::Tools().raster.pixels)};
  bool rendered = false;

  ~Picture() {
    if (raster.pixels.capacity() > layra::Tools().raster.pixels.capacity())
      layra::Tools().raster = std::move(raster);
  }
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
  fPicture->rendered = layra::Renderer().RenderInto(*scene, xScale, yScale, xResolution,
                                                    yResolution, fPicture->raster, &error);
  if (!fPicture->rendered)
    std::fprintf(stderr, "layra: the page cannot be rendered: %s\n", error.c_str());
}

SnapshotUtils::~SnapshotUtils() = default;

ErrorCode SnapshotUtils::GetStatus() const {
  return fPicture->rendered ? kSuccess : kFailure;
}

int SnapshotUtils::GetWidth() const {
  return fPicture->rendered ? fPicture->raster.width : 0;
}

int SnapshotUtils::GetHeight() const {
  return fPicture->rendered ? fPicture->raster.height : 0;
}

namespace layra {
namespace {

// Opened before encoding and written through the host's file streams, so a batch leaves the
// same files, with the same modes, as one snapshot at a time would.
bool WriteJpegFile(const SnapshotUtils::JPEGVariant& variant, RenderTools& tools) {
  const std::uint32_t mode =
      kOpenOut | kOpenTrunc | (variant.privateFile ? std::uint32_t{kOpenPrivate} : 0u);
  InterfacePtr<IPMStream> out(StreamUtil::CreateFileStreamWrite(variant.file, mode));
  if (!out)
    return false;
  const auto jpeg = tools.encoder.Encode(tools.raster, variant.quality, nullptr);
  return jpeg && out->XferByte(jpeg->data(), jpeg->size()) == jpeg->size() && out->IsGood();
}

// On a render worker: touches nothing but the scene, the files and the thread's own tools.
SnapshotUtils::PageResult ExportPage(const std::optional<graphics::PageScene>& scene,
                                     const std::vector<SnapshotUtils::JPEGVariant>& variants) {
  SnapshotUtils::PageResult result;
  if (!scene)
    return result;
  RenderTools& tools = Tools();
  for (const SnapshotUtils::JPEGVariant& variant : variants) {
    std::string error;
    if (!tools.renderer.RenderInto(*scene, variant.xScale, variant.yScale, variant.resolution,
                                   variant.resolution, tools.raster, &error)) {
      std::fprintf(stderr, "layra: the page cannot be rendered: %s\n", error.c_str());
      return result;
    }
    if (!WriteJpegFile(variant, tools))
      return result;
    result.written.push_back({tools.raster.width, tools.raster.height});
  }
  return result;
}

} // namespace
} // namespace layra

std::vector<SnapshotUtils::PageResult>
SnapshotUtils::ExportPagesToJPEG(const std::vector<PageJob>& pages,
                                 const std::function<bool(std::size_t)>& pageDone) {
  LAYRA_ASSERT_MAIN_THREAD();
  // Host objects stay on this thread: the workers draw copies of the pages taken here.
  std::vector<std::optional<layra::graphics::PageScene>> scenes;
  scenes.reserve(pages.size());
  for (const PageJob& job : pages)
    scenes.push_back(layra::SceneOf(job.page));
  std::vector<PageResult> results(pages.size());
  layra::RunOnRenderWorkers(
      pages.size(),
      [&](std::size_t i) { results[i] = layra::ExportPage(scenes[i], pages[i].variants); },
      pageDone);
  return results;
}

ErrorCode SnapshotUtils::ExportImageToJPEG(IPMStream* stream, std::int32_t, std::int32_t quality) {
  if (!fPicture->rendered || !stream || !stream->IsWriting())
    return kFailure;
  const auto jpeg = layra::Tools().encoder.Encode(fPicture->raster, quality, nullptr);
  if (!jpeg)
    return kFailure;
  const std::size_t written = stream->XferByte(jpeg->data(), jpeg->size());
  return written == jpeg->size() && stream->IsGood() ? kSuccess : kFailure;
}
