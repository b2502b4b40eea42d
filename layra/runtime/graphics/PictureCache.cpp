#include <graphics/ImageDecoder.h>
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

SurfacePtr Reduced(cairo_surface_t* surface, ImageSize from, ImageSize to) {
  SurfacePtr reduced(cairo_image_surface_create(CAIRO_FORMAT_RGB24, to.width, to.height));
  const ContextPtr cr(cairo_create(reduced.get()));
  cairo_scale(cr.get(), double(to.width) / from.width, double(to.height) / from.height);
  cairo_set_source_surface(cr.get(), surface, 0, 0);
  cairo_pattern_set_extend(cairo_get_source(cr.get()), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
  cairo_paint(cr.get());
  cairo_surface_flush(reduced.get());
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
    return nullptr;
  return reduced;
}

} // namespace

bool PictureCache::Covers(const Entry& entry, ImageSize fit) const {
  if (!entry.surface || entry.whole)
    return true;
  return entry.shown.width >= fit.width && entry.shown.height >= fit.height;
}

cairo_surface_t* PictureCache::Get(const EncodedImage& encoded, ImageSize fit) {
  if (!encoded)
    return nullptr;
  ForgetFreed();
  const void* key = encoded.get();
  auto found = entries_.find(key);
  // The address alone may belong to newer bytes once the old ones are gone.
  if (found != entries_.end() && found->second.owner.lock() == encoded &&
      Covers(found->second, fit)) {
    found->second.lastUse = ++clock_;
    return found->second.surface.get();
  }
  Entry entry{encoded, DecodeImage(*encoded, fit)};
  if (entry.surface) {
    entry.shown = {cairo_image_surface_get_width(entry.surface.get()),
                   cairo_image_surface_get_height(entry.surface.get())};
    const std::optional<ImageSize> declared = ReadImageSize(*encoded);
    entry.whole = !declared ||
                  (declared->width <= entry.shown.width && declared->height <= entry.shown.height);
    const ImageSize kept = Kept(entry.shown, fit);
    if (kept.width < entry.shown.width || kept.height < entry.shown.height) {
      entry.surface = Reduced(entry.surface.get(), entry.shown, kept);
      entry.shown = kept;
      entry.whole = false;
    }
  }
  if (entry.surface) {
    entry.bytes = static_cast<std::size_t>(cairo_image_surface_get_stride(entry.surface.get())) *
                  static_cast<std::size_t>(entry.shown.height);
  }
  entry.lastUse = ++clock_;
  cairo_surface_t* surface = entry.surface.get();
  Store(key, std::move(entry));
  return surface;
}

void PictureCache::Store(const void* key, Entry entry) {
  auto found = entries_.find(key);
  if (found != entries_.end()) {
    bytes_ -= found->second.bytes;
    entries_.erase(found);
  }
  bytes_ += entry.bytes;
  entries_.emplace(key, std::move(entry));
  Evict(key);
}

void PictureCache::ForgetFreed() {
  std::erase_if(entries_, [&](const auto& item) {
    const bool gone = item.second.owner.expired();
    if (gone)
      bytes_ -= item.second.bytes;
    return gone;
  });
}

void PictureCache::Evict(const void* keep) {
  while (bytes_ > budget_ && entries_.size() > 1) {
    auto oldest =
        std::min_element(entries_.begin(), entries_.end(), [&](const auto& a, const auto& b) {
          return (a.first == keep ? UINT64_MAX : a.second.lastUse) <
                 (b.first == keep ? UINT64_MAX : b.second.lastUse);
        });
    bytes_ -= oldest->second.bytes;
    entries_.erase(oldest);
  }
}

} // namespace layra::graphics
