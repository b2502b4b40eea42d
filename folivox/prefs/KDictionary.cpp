#include "prefs/KDictionary.h"

#include <layra/IPMStream.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

KDictionary::KDictionary(const KDictionary& other) : fEntries(other.fEntries) {
  Reindex();
}

KDictionary& KDictionary::operator=(const KDictionary& other) {
  KDictionary copy(other);
  *this = std::move(copy);
  return *this;
}

void KDictionary::Set(const PMString& key, const PMString& value) {
  Put(PMString(key), PMString(value));
}

PMString* KDictionary::Find(const PMString& key) {
  const auto found = fIndex.find(key.GetUTF8String());
  return found == fIndex.end() ? nullptr : &found->second->value;
}

const PMString* KDictionary::Find(const PMString& key) const {
  const auto found = fIndex.find(key.GetUTF8String());
  return found == fIndex.end() ? nullptr : &found->second->value;
}

std::int32_t KDictionary::count() const {
  if (fEntries.size() != fIndex.size()) {
    std::fputs("KDictionary::count inconsistency found! Number of keys not equal to number of "
               "values!. KDictionary will continue but behavious is undefined.\n",
               stdout);
  }
  return static_cast<std::int32_t>(std::min(fEntries.size(), fIndex.size()));
}

void KDictionary::Clear() {
  fIndex.clear();
  fEntries.clear();
}

void KDictionary::ReadWrite(IPMStream* stream) {
  if (stream->IsReading())
    Load(stream);
  else
    Save(stream);
}

std::vector<PMString> KDictionary::Keys() const {
  std::vector<PMString> keys;
  keys.reserve(fEntries.size());
  for (const Entry& entry : fEntries)
    keys.push_back(entry.key);
  return keys;
}

std::vector<PMString> KDictionary::Values() const {
  std::vector<PMString> values;
  values.reserve(fEntries.size());
  for (const Entry& entry : fEntries)
    values.push_back(entry.value);
  return values;
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
  for (Entry& entry : fEntries) {
    entry.key.ReadWrite(stream);
    entry.value.ReadWrite(stream);
  }
}

void KDictionary::Put(PMString&& key, PMString&& value) {
  const auto found = fIndex.find(key.GetUTF8String());
  if (found == fIndex.end()) {
    Append(std::move(key), std::move(value));
    return;
  }
  // Moving the node keeps the key's text where the index view points.
  const Position entry = found->second;
  entry->key.SetTranslatable(key.GetTranslatable());
  entry->value = std::move(value);
  fEntries.splice(fEntries.end(), fEntries, entry);
}

void KDictionary::Append(PMString&& key, PMString&& value) {
  fEntries.push_back(Entry{std::move(key), std::move(value)});
  const Position last = std::prev(fEntries.end());
  fIndex.emplace(last->key.GetUTF8String(), last);
}

void KDictionary::ReserveFor(std::int32_t stored, const IPMStream* stream) {
  // Only as much as the stream can hold: every pair takes at least eight bytes.
  const std::int64_t remaining = stream->RemainingBytes();
  if (stored <= 0 || remaining < 0)
    return;
  fIndex.reserve(static_cast<std::size_t>(std::min<std::int64_t>(stored, remaining / 8)));
}

void KDictionary::Reindex() {
  fIndex.clear();
  fIndex.reserve(fEntries.size());
  for (Position entry = fEntries.begin(); entry != fEntries.end(); ++entry)
    fIndex.emplace(entry->key.GetUTF8String(), entry);
}
