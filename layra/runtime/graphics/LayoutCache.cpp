#include <graphics/LayoutCache.h>

#include <algorithm>

namespace layra::graphics {

bool LayoutCache::Entry::Matches(const LayoutKey& key) const {
  return fontSize == key.fontSize && width == key.width && text == key.text &&
         fontFamily == key.fontFamily;
}

const TextLayout* LayoutCache::Find(const LayoutKey& key) {
  const auto found = std::find_if(fEntries.begin(), fEntries.end(),
                                  [&](const Entry& entry) { return entry.Matches(key); });
  if (found == fEntries.end()) {
    return nullptr;
  }
  std::rotate(found, found + 1, fEntries.end());
  return &fEntries.back().layout;
}

const TextLayout& LayoutCache::Insert(const LayoutKey& key, TextLayout layout) {
  if (fEntries.size() == fCapacity) {
    fEntries.erase(fEntries.begin());
  }
  fEntries.push_back(Entry{std::string(key.text), std::string(key.fontFamily), key.fontSize,
                           key.width, std::move(layout)});
  return fEntries.back().layout;
}

} // namespace layra::graphics
