#include <graphics/PictureCache.h>

#include <algorithm>
#include <cmath>

namespace layra::graphics {
namespace {

// The previews of one send span a few times in scale. Keeping four times what the first render
// needs serves the larger ones without decoding again, in a fraction of the decoded memory.
constexpr int kHeadroom = 4;

ImageSize Kept(ImageSize shown, ImageSize fit) {
  const double factor = std::max(double(fit.width) * kHeadroom / shown.width,
                                 double(fit.height) * kHeadroom / shown.height);
  if (factor >= 1)
    return shown;
  return {std::max(1, int(std::ceil(shown.width * factor))),
          std::max(1, int(std::ceil(shown.height * factor)))};
}

std::optional<DecodedPicture> Reduced(const DecodedPicture& from, ImageSize to) {
  const cairo_format_t format = from.alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
  const int stride = cairo_format_stride_for_width(format, to.width);
  DecodedPicture reduced{Raster{to.width, to.height, stride,
                                std::vector<unsigned char>(std::size_t(stride) * to.height)},
                         from.alpha};
  const SurfacePtr source = SurfaceOf(from);
  const SurfacePtr target = SurfaceOf(reduced);
  if (!source || !target)
    return std::nullopt;
  const ContextPtr cr(cairo_create(target.get()));
  cairo_scale(cr.get(), double(to.width) / from.raster.width,
              double(to.height) / from.raster.height);
  cairo_set_source_surface(cr.get(), source.get(), 0, 0);
  cairo_pattern_set_extend(cairo_get_source(cr.get()), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
  cairo_paint(cr.get());
  cairo_surface_flush(target.get());
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
    return std::nullopt;
  return reduced;
}

bool Covers(const DecodedPicture& picture, ImageSize fit) {
  return picture.raster.width >= fit.width && picture.raster.height >= fit.height;
}

} // namespace

PictureCache::PictureCache(std::size_t budgetBytes, PictureFolder folder)
    : fBudget(budgetBytes), fFolder(std::move(folder)) {}

std::size_t PictureCache::bytes() const {
  const std::lock_guard lock(fMutex);
  return fBytes;
}

std::size_t PictureCache::decoded() const {
  const std::lock_guard lock(fMutex);
  return fDecoded;
}

PictureCache::Known PictureCache::Identify(const EncodedImage& encoded) {
  {
    const std::lock_guard lock(fMutex);
    const auto found = fKnown.find(encoded.get());
    // The address alone may belong to newer bytes once the old ones are gone.
    if (found != fKnown.end() && found->second.owner.lock() == encoded)
      return found->second;
  }
  // Outside the lock: hashing a camera picture takes a few milliseconds.
  Known known{encoded, ContentDigest(*encoded), ReadImageSize(*encoded)};
  const std::lock_guard lock(fMutex);
  std::erase_if(fKnown, [](const auto& item) { return item.second.owner.expired(); });
  fKnown[encoded.get()] = known;
  return known;
}

std::shared_ptr<const DecodedPicture> PictureCache::Get(const EncodedImage& encoded,
                                                        ImageSize fit) {
  if (!encoded)
    return nullptr;
  const Known known = Identify(encoded);
  {
    const std::lock_guard lock(fMutex);
    const auto [begin, end] = fEntries.equal_range(known.content);
    for (auto it = begin; it != end; ++it) {
      Entry& entry = it->second;
      if (entry.whole || Covers(*entry.picture, fit)) {
        entry.lastUse = ++fClock;
        return entry.picture;
      }
    }
  }
  // A picture whose header cannot be read cannot be decoded either: remembered as such.
  Entry entry{known.content, nullptr, true};
  if (known.declared) {
    const ImageSize size = Kept(DecodedSize(*encoded, *known.declared, fit), fit);
    std::optional<DecodedPicture> picture = fFolder.Load(known.content, size);
    if (!picture) {
      picture = DecodeImage(*encoded, fit);
      const ImageSize kept =
          picture ? Kept({picture->raster.width, picture->raster.height}, fit) : size;
      if (picture && (kept.width < picture->raster.width || kept.height < picture->raster.height))
        picture = Reduced(*picture, kept);
      if (picture)
        fFolder.Save(known.content, *picture);
      const std::lock_guard lock(fMutex);
      ++fDecoded;
    }
    if (picture) {
      entry.bytes = picture->raster.pixels.size();
      entry.whole = known.declared->width <= picture->raster.width &&
                    known.declared->height <= picture->raster.height;
      entry.picture = std::make_shared<const DecodedPicture>(std::move(*picture));
    }
  }
  std::shared_ptr<const DecodedPicture> picture = entry.picture;
  Store(std::move(entry));
  return picture;
}

void PictureCache::Store(Entry entry) {
  const std::lock_guard lock(fMutex);
  entry.lastUse = ++fClock;
  fBytes += entry.bytes;
  const std::string content = entry.content;
  fEntries.emplace(content, std::move(entry));
  Evict();
}

void PictureCache::Evict() {
  // The newest entry stays even alone over budget: the render that asked for it needs it.
  while (fBytes > fBudget && fEntries.size() > 1) {
    const auto oldest =
        std::min_element(fEntries.begin(), fEntries.end(), [](const auto& a, const auto& b) {
          return a.second.lastUse < b.second.lastUse;
        });
    fBytes -= oldest->second.bytes;
    fEntries.erase(oldest);
  }
}

} // namespace layra::graphics
