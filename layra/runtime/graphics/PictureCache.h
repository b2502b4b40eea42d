#pragma once

#include <graphics/CairoHandles.h>
#include <graphics/PageScene.h>
#include <graphics/Raster.h>

#include <cstddef>
#include <cstdint>
#include <map>

namespace layra::graphics {

// Decoded pictures kept between renders, so the previews of one page at several scales decode
// each picture once, at the size its frame needs. An entry lives as long as the picture's bytes
// do; the least recently used go first when the cache passes its memory budget.
class PictureCache {
public:
  explicit PictureCache(std::size_t budgetBytes = kDefaultBudget) : budget_(budgetBytes) {}

  // A surface showing the picture with at least `fit` pixels a side where the picture has them;
  // null when it cannot be decoded. Valid until the next call.
  cairo_surface_t* Get(const EncodedImage& encoded, ImageSize fit);

  std::size_t bytes() const { return bytes_; }

  static constexpr std::size_t kDefaultBudget = 256u << 20;

private:
  struct Entry {
    std::weak_ptr<const std::vector<unsigned char>> owner;
    SurfacePtr surface;
    ImageSize shown{0, 0};
    bool whole = false;
    std::size_t bytes = 0;
    std::uint64_t lastUse = 0;
  };

  bool Covers(const Entry& entry, ImageSize fit) const;
  void Store(const void* key, Entry entry);
  void ForgetFreed();
  void Evict(const void* keep);

  std::map<const void*, Entry> entries_;
  std::size_t budget_;
  std::size_t bytes_ = 0;
  std::uint64_t clock_ = 0;
};

} // namespace layra::graphics
