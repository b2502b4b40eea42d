#pragma once

#include <graphics/Typesetter.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace layra::graphics {

// What a text frame's layout depends on. Layouts are made in page points, so the same frame
// drawn at another scale or resolution has the same key.
struct LayoutKey {
  std::string_view text;
  std::string_view fontFamily;
  double fontSize;
  double width;
};

// The most recently used layouts. The host renders each page at several preview sizes in a row,
// and laying text out costs about as much as drawing it at all of them, so every size after the
// first reuses the layouts of the first.
class LayoutCache {
public:
  explicit LayoutCache(std::size_t capacity) : fCapacity(std::max<std::size_t>(capacity, 1)) {}

  // Null when the key is not cached. The layout stays valid until the next Insert.
  const TextLayout* Find(const LayoutKey& key);
  const TextLayout& Insert(const LayoutKey& key, TextLayout layout);

private:
  struct Entry {
    std::string text;
    std::string fontFamily;
    double fontSize;
    double width;
    TextLayout layout;

    bool Matches(const LayoutKey& key) const;
  };

  std::size_t fCapacity;
  // Least recently used first.
  std::vector<Entry> fEntries;
};

} // namespace layra::graphics
