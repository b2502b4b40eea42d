#include <graphics/ImageDecoder.h>
#include <graphics/PictureCache.h>

#include <algorithm>

namespace layra::graphics {

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
