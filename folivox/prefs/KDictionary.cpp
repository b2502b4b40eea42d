#include "prefs/KDictionary.h"

#include <layra/IPMStream.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

KDictionary::KDictionary() : fPairs(std::make_shared<Pairs>()) {}

KDictionary::Pairs::Pairs(const Pairs& other) : entries(other.entries) {
  index.reserve(entries.size());
  for (Position entry = entries.begin(); entry != entries.end(); ++entry)
    index.emplace(entry->key.GetUTF8String(), entry);
}

KDictionary::Pairs& KDictionary::Own() {
  if (fPairs.use_count() > 1)
    fPairs = std::make_shared<Pairs>(*fPairs);
  return *fPairs;
}

void KDictionary::Set(const PMString& key, const PMString& value) {
  Put(PMString(key), PMString(value));
}

PMString* KDictionary::Find(const PMString& key) {
  // The caller may change the value it gets.
  Pairs& pairs = Own();
  const auto found = pairs.index.find(key.GetUTF8String());
  return found == pairs.index.end() ? nullptr : &found->second->value;
}

const PMString* KDictionary::Find(const PMString& key) const {
  const auto found = fPairs->index.find(key.GetUTF8String());
  return found == fPairs->index.end() ? nullptr : &found->second->value;
}

std::int32_t KDictionary::count() const {
  const std::size_t entries = fPairs->entries.size();
  const std::size_t keys = fPairs->index.size();
  if (entries != keys) {
    std::fputs("KDictionary::count inconsistency found! Number of keys not equal to number of "
               "values!. KDictionary will continue but behavious is undefined.\n",
               stdout);
  }
  return static_cast<std::int32_t>(std::min(entries, keys));
}

void KDictionary::Clear() {
  fPairs = std::make_shared<Pairs>();
}

void KDictionary::ReadWrite(IPMStream* stream) {
  if (stream->IsReading())
    Load(stream);
  else
    Save(stream);
}

std::vector<PMString> KDictionary::Keys() const {
  std::vector<PMString> keys;
  keys.reserve(fPairs->entries.size());
  for (const Entry& entry : fPairs->entries)
    keys.push_back(entry.key);
  return keys;
}

std::vector<PMString> KDictionary::Values() const {
  std::vector<PMString> values;
  values.reserve(fPairs->entries.size());
  for (const Entry& entry : fPairs->entries)
    values.push_back(entry.value);
  return values;
}

std::size_t KDictionary::Bytes() const {
  // A list node and an index node per pair, besides the texts.
  constexpr std::size_t kPerPair = sizeof(Entry) + 2 * sizeof(void*) + sizeof(std::string_view) +
                                   sizeof(Position) + 2 * sizeof(void*);
  std::size_t bytes = sizeof(Pairs) + fPairs->index.bucket_count() * sizeof(void*);
  for (const Entry& entry : fPairs->entries)
    bytes +=
        kPerPair + entry.key.GetUTF8String().capacity() + entry.value.GetUTF8String().capacity();
  return bytes;
}

void KDictionary::Load(IPMStream* stream) {
  Clear();
  std::int32_t stored = 0;
  stream->XferInt32(stored);
  ReserveFor(stored, stream);
  // Every pair takes at least eight bytes, so a forged count ends with the stream's data.
  for (std::int32_t i = 0; i < stored && stream->IsGood(); ++i) {
    PMString key;
    PMString value;
    key.ReadWrite(stream);
    value.ReadWrite(stream);
    if (stream->IsGood())
      Put(std::move(key), std::move(value));
  }
  if (stream->IsGood())
    return;
  Clear();
  std::fputs("KDictionary::ReadWrite: stored preferences are damaged; starting with none.\n",
             stdout);
}

void KDictionary::Save(IPMStream* stream) {
  std::int32_t stored = count();
  stream->XferInt32(stored);
  // Streaming out leaves the texts as they are, so shared pairs need no copy of their own.
  for (Entry& entry : fPairs->entries) {
    entry.key.ReadWrite(stream);
    entry.value.ReadWrite(stream);
  }
}

void KDictionary::Put(PMString&& key, PMString&& value) {
  Pairs& pairs = Own();
  const auto found = pairs.index.find(key.GetUTF8String());
  if (found == pairs.index.end()) {
    Append(std::move(key), std::move(value));
    return;
  }
  // Moving the node keeps the key's text where the index view points.
  const Position entry = found->second;
  entry->key.SetTranslatable(key.GetTranslatable());
  entry->value = std::move(value);
  pairs.entries.splice(pairs.entries.end(), pairs.entries, entry);
}

void KDictionary::Append(PMString&& key, PMString&& value) {
  Pairs& pairs = Own();
  pairs.entries.push_back(Entry{std::move(key), std::move(value)});
  const Position last = std::prev(pairs.entries.end());
  pairs.index.emplace(last->key.GetUTF8String(), last);
}

void KDictionary::ReserveFor(std::int32_t stored, const IPMStream* stream) {
  // Only as much as the stream can hold: every pair takes at least eight bytes.
  const std::int64_t remaining = stream->RemainingBytes();
  if (stored <= 0 || remaining < 0)
    return;
  Own().index.reserve(static_cast<std::size_t>(std::min<std::int64_t>(stored, remaining / 8)));
}
