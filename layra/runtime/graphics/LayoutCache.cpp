#include <graphics/LayoutCache.h>

#include <algorithm>

namespace layra::graphics {

bool LayoutCache::Entry::Matches(const LayoutKey& key) const {
  return fontSize == key.fontSize && width == key.width && text == key.text &&
         fontFamily == key.fontFamily;
}

const TextLayout* LayoutCache::Find(const LayoutKey& key) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& entry) { return entry.Matches(key); });
  if (found == entries_.end()) {
    return nullptr;
  }
  std::rotate(found, found + 1, entries_.end());
  return &entries_.back().layout;
}

const TextLayout& LayoutCache::Insert(const LayoutKey& key, TextLayout layout) {
  if (entries_.size() == capacity_) {
    entries_.erase(entries_.begin());
  }
  entries_.push_back(Entry{std::string(key.text), std::string(key.fontFamily), key.fontSize,
                           key.width, std::move(layout)});
  return entries_.back().layout;
}

} // namespace layra::graphics
