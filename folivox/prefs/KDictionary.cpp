#include "prefs/KDictionary.h"

#include <layra/IPMStream.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <utility>

// The pairs lie side by side in the order they were last set. A key set again moves its pair to
// the end and leaves a gap behind, closed up once the gaps outnumber the pairs. The index is an
// open-addressing table of positions in that sequence: a lookup touches one or two slots and
// compares one key, and loading fills the table once, sized from the pairs read.
class KDictionary::Pairs {
public:
  std::size_t Size() const { return fEntries.size(); }
  bool IsGap(std::size_t position) const { return fGaps[position]; }
  const Entry& At(std::size_t position) const { return fEntries[position]; }
  std::size_t PairCount() const { return fEntries.size() - fGapCount; }
  std::size_t KeyCount() const { return fKeyCount; }

  PMString* Find(std::string_view key);
  void Put(PMString&& key, PMString&& value);
  /** Adds a pair read from a stream; IndexLoaded makes it findable. */
  void AppendLoaded(PMString&& key, PMString&& value);
  void IndexLoaded();
  void Save(IPMStream* stream);
  void Reserve(std::size_t pairs) {
    fEntries.reserve(pairs);
    fGaps.reserve(pairs);
  }
  std::size_t Bytes() const;

private:
  static constexpr std::uint32_t kNoPair = std::numeric_limits<std::uint32_t>::max();
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t position = kNoPair;
  };

  static std::uint32_t HashOf(std::string_view key) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
  }
  /** The slot holding `key`, or the free slot where it belongs. The table is never full. */
  Slot& SlotOf(std::string_view key, std::uint32_t hash);
  /** Makes room for `keys` keys with the table at most half full. */
  void ReserveSlots(std::size_t keys);
  void MoveToEnd(Slot& slot, PMString&& key, PMString&& value);
  void CloseGaps();

  std::vector<Entry> fEntries;
  std::vector<bool> fGaps;
  std::size_t fGapCount = 0;
  std::vector<Slot> fSlots;
  std::size_t fKeyCount = 0;
};

KDictionary::Pairs::Slot& KDictionary::Pairs::SlotOf(std::string_view key, std::uint32_t hash) {
  const std::size_t mask = fSlots.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = fSlots[i];
    if (slot.position == kNoPair)
      return slot;
    if (slot.hash == hash && fEntries[slot.position].key.GetUTF8String() == key)
      return slot;
  }
}

void KDictionary::Pairs::ReserveSlots(std::size_t keys) {
  std::size_t size = std::max<std::size_t>(fSlots.size(), 16);
  while (size < 2 * keys)
    size *= 2;
  if (size == fSlots.size())
    return;
  std::vector<Slot> old(size);
  fSlots.swap(old);
  const std::size_t mask = size - 1;
  for (const Slot& moved : old) {
    if (moved.position == kNoPair)
      continue;
    std::size_t i = moved.hash & mask;
    while (fSlots[i].position != kNoPair)
      i = (i + 1) & mask;
    fSlots[i] = moved;
  }
}

PMString* KDictionary::Pairs::Find(std::string_view key) {
  if (fSlots.empty())
    return nullptr;
  const Slot& slot = SlotOf(key, HashOf(key));
  return slot.position == kNoPair ? nullptr : &fEntries[slot.position].value;
}

void KDictionary::Pairs::Put(PMString&& key, PMString&& value) {
  ReserveSlots(fKeyCount + 1);
  const std::string_view text = key.GetUTF8String();
  const std::uint32_t hash = HashOf(text);
  Slot& slot = SlotOf(text, hash);
  if (slot.position != kNoPair) {
    MoveToEnd(slot, std::move(key), std::move(value));
    return;
  }
  slot = Slot{hash, static_cast<std::uint32_t>(fEntries.size())};
  ++fKeyCount;
  fEntries.push_back(Entry{std::move(key), std::move(value)});
  fGaps.push_back(false);
}

void KDictionary::Pairs::MoveToEnd(Slot& slot, PMString&& key, PMString&& value) {
  const std::size_t old = slot.position;
  if (old + 1 == fEntries.size()) {
    fEntries[old] = Entry{std::move(key), std::move(value)};
    return;
  }
  slot.position = static_cast<std::uint32_t>(fEntries.size());
  fEntries.push_back(Entry{std::move(key), std::move(value)});
  fGaps.push_back(false);
  fEntries[old] = Entry{};
  fGaps[old] = true;
  ++fGapCount;
  if (fGapCount > PairCount())
    CloseGaps();
}

void KDictionary::Pairs::CloseGaps() {
  std::vector<std::uint32_t> moved(fEntries.size(), kNoPair);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < fEntries.size(); ++i) {
    if (fGaps[i])
      continue;
    if (kept != i)
      fEntries[kept] = std::move(fEntries[i]);
    moved[i] = static_cast<std::uint32_t>(kept++);
  }
  fEntries.resize(kept);
  fGaps.assign(kept, false);
  fGapCount = 0;
  for (Slot& slot : fSlots) {
    if (slot.position != kNoPair)
      slot.position = moved[slot.position];
  }
}

void KDictionary::Pairs::AppendLoaded(PMString&& key, PMString&& value) {
  fEntries.push_back(Entry{std::move(key), std::move(value)});
  fGaps.push_back(false);
}

void KDictionary::Pairs::IndexLoaded() {
  ReserveSlots(fEntries.size());
  for (std::size_t i = 0; i < fEntries.size(); ++i) {
    const std::string_view text = fEntries[i].key.GetUTF8String();
    const std::uint32_t hash = HashOf(text);
    Slot& slot = SlotOf(text, hash);
    // A key stored twice keeps its last value and its last place.
    if (slot.position != kNoPair) {
      fEntries[slot.position] = Entry{};
      fGaps[slot.position] = true;
      ++fGapCount;
    } else {
      ++fKeyCount;
    }
    slot = Slot{hash, static_cast<std::uint32_t>(i)};
  }
  if (fGapCount > 0)
    CloseGaps();
}

void KDictionary::Pairs::Save(IPMStream* stream) {
  // A text takes a 32-bit count and at most two bytes per byte of its UTF-8 form.
  std::size_t bytes = 0;
  for (const Entry& entry : fEntries)
    bytes += 8 + 2 * (entry.key.GetUTF8String().size() + entry.value.GetUTF8String().size());
  stream->ExpectBytes(bytes);
  // Streaming out leaves the texts as they are, so shared pairs need no copy of their own.
  for (std::size_t i = 0; i < fEntries.size(); ++i) {
    if (fGaps[i])
      continue;
    fEntries[i].key.ReadWrite(stream);
    fEntries[i].value.ReadWrite(stream);
  }
}

std::size_t KDictionary::Pairs::Bytes() const {
  std::size_t bytes = sizeof(Pairs) + fEntries.capacity() * sizeof(Entry) + fGaps.capacity() / 8 +
                      fSlots.capacity() * sizeof(Slot);
  for (const Entry& entry : fEntries)
    bytes += entry.key.GetUTF8String().capacity() + entry.value.GetUTF8String().capacity();
  return bytes;
}

KDictionary::const_iterator::const_iterator(const Pairs* pairs, std::size_t position)
    : fPairs(pairs), fPosition(position) {
  SkipGaps();
}

const KDictionary::Entry& KDictionary::const_iterator::operator*() const {
  return fPairs->At(fPosition);
}

KDictionary::const_iterator& KDictionary::const_iterator::operator++() {
  ++fPosition;
  SkipGaps();
  return *this;
}

void KDictionary::const_iterator::SkipGaps() {
  while (fPosition < fPairs->Size() && fPairs->IsGap(fPosition))
    ++fPosition;
}

KDictionary::KDictionary() : fPairs(std::make_shared<Pairs>()) {}

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
  return Own().Find(key.GetUTF8String());
}

const PMString* KDictionary::Find(const PMString& key) const {
  return fPairs->Find(key.GetUTF8String());
}

std::int32_t KDictionary::count() const {
  const std::size_t entries = fPairs->PairCount();
  const std::size_t keys = fPairs->KeyCount();
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

KDictionary::const_iterator KDictionary::begin() const {
  return const_iterator(fPairs.get(), 0);
}

KDictionary::const_iterator KDictionary::end() const {
  return const_iterator(fPairs.get(), fPairs->Size());
}

std::vector<PMString> KDictionary::Keys() const {
  std::vector<PMString> keys;
  keys.reserve(fPairs->PairCount());
  for (const Entry& entry : *this)
    keys.push_back(entry.key);
  return keys;
}

std::vector<PMString> KDictionary::Values() const {
  std::vector<PMString> values;
  values.reserve(fPairs->PairCount());
  for (const Entry& entry : *this)
    values.push_back(entry.value);
  return values;
}

std::size_t KDictionary::Bytes() const {
  return fPairs->Bytes();
}

void KDictionary::Load(IPMStream* stream) {
  Clear();
  std::int32_t stored = 0;
  stream->XferInt32(stored);
  // Room only for as many pairs as the stream can hold: every pair takes at least eight
  // bytes, so a forged count ends with the stream's data and never sizes an allocation.
  const std::int64_t remaining = stream->RemainingBytes();
  if (stored > 0 && remaining > 0)
    fPairs->Reserve(static_cast<std::size_t>(std::min<std::int64_t>(stored, remaining / 8)));
  for (std::int32_t i = 0; i < stored && stream->IsGood(); ++i) {
    PMString key;
    PMString value;
    key.ReadWrite(stream);
    value.ReadWrite(stream);
    if (stream->IsGood())
      fPairs->AppendLoaded(std::move(key), std::move(value));
  }
  if (stream->IsGood()) {
    fPairs->IndexLoaded();
    return;
  }
  Clear();
  std::fputs("KDictionary::ReadWrite: stored preferences are damaged; starting with none.\n",
             stdout);
}

void KDictionary::Save(IPMStream* stream) {
  std::int32_t stored = count();
  stream->XferInt32(stored);
  fPairs->Save(stream);
}

void KDictionary::Put(PMString&& key, PMString&& value) {
  Own().Put(std::move(key), std::move(value));
}
