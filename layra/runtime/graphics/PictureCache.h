#pragma once

#include <graphics/ImageDecoder.h>
#include <graphics/PageScene.h>
#include <graphics/PictureFolder.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace layra::graphics {

// Decoded pictures kept between renders, so the previews of a page at several scales, and the
// sends after it, decode each picture once, at the size its frames need. Pictures are known by
// their content, not by where their bytes live: another copy of the same file finds them too.
// The least recently used go first when the cache passes its memory budget. With a folder,
// what is decoded is also written there and read back by later processes. Safe to share
// between threads; two threads wanting the same new picture may both decode it.
class PictureCache {
public:
  explicit PictureCache(std::size_t budgetBytes = kDefaultBudget, PictureFolder folder = {});

  // The picture with at least `fit` pixels a side where the picture has them; null when it
  // cannot be decoded.
  std::shared_ptr<const DecodedPicture> Get(const EncodedImage& encoded, ImageSize fit);

  std::size_t bytes() const;
  // How many pictures this cache decoded (not found in memory nor in its folder).
  std::size_t decoded() const;

  static constexpr std::size_t kDefaultBudget = 256u << 20;

private:
  struct Entry {
    std::string content;
    std::shared_ptr<const DecodedPicture> picture;
    bool whole = false;
    std::size_t bytes = 0;
    std::uint64_t lastUse = 0;
  };
  // What is known of one picture's bytes, for as long as they live.
  struct Known {
    std::weak_ptr<const std::vector<unsigned char>> owner;
    std::string content;
    std::optional<ImageSize> declared;
  };

  Known Identify(const EncodedImage& encoded);
  std::shared_ptr<const DecodedPicture> Find(const std::string& content, ImageSize fit);
  void Store(Entry entry);
  void Evict();

  mutable std::mutex fMutex;
  std::multimap<std::string, Entry> fEntries;
  std::map<const void*, Known> fKnown;
  std::size_t fBudget;
  std::size_t fBytes = 0;
  std::size_t fDecoded = 0;
  std::uint64_t fClock = 0;
  PictureFolder fFolder;
};

} // namespace layra::graphics
