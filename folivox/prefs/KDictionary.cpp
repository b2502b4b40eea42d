#include "prefs/KDictionary.h"

#include "base/Trace.h"

#include <layra/IPMStream.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

// The pairs lie in the order they were last set, in fixed-size chunks that copies share: a
// copy of the whole dictionary copies the index and one pointer per chunk, and a change copies
// only the chunk it touches. A key set again moves its pair to the end and leaves a gap behind,
// closed up once the gaps outnumber the pairs. The index is an open-addressing table of
// positions in that sequence: a lookup touches one or two slots and compares one key, and
// loading fills the table once, sized from the pairs read.
class KDictionary::Pairs {
public:
  std::size_t Size() const { return fGaps.size(); }
  bool IsGap(std::size_t position) const { return fGaps[position]; }
  const Entry& At(std::size_t position) const {
    return (*fChunks[position / kChunk])[position % kChunk];
  }
  std::size_t PairCount() const { return fGaps.size() - fGapCount; }
  std::size_t KeyCount() const { return fKeyCount; }

  const PMString* Find(std::string_view key) const;
  /** The value under `key` in a chunk of this copy's own, so that the caller may change it. */
  PMString* FindToChange(std::string_view key);
  void Put(PMString&& key, PMString&& value);
  /** Adds a pair read from a stream; IndexLoaded makes it findable. */
  void AppendLoaded(PMString&& key, PMString&& value) {
    Append(Entry{std::move(key), std::move(value)});
  }
  void IndexLoaded();
  void Reserve(std::size_t pairs) {
    fChunks.reserve(pairs / kChunk + 1);
    fGaps.reserve(pairs);
  }
  void Save(IPMStream* stream);
  std::size_t Bytes() const;

private:
  static constexpr std::size_t kChunk = 64;
  using Chunk = std::vector<Entry>;
  static constexpr std::uint32_t kNoPair = std::numeric_limits<std::uint32_t>::max();
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t position = kNoPair;
  };
  static constexpr std::size_t kSlotPage = 512;
  using SlotPage = std::vector<Slot>;

  static std::uint32_t HashOf(std::string_view key) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key));
  }
  const Slot& SlotAt(std::size_t i) const { return (*fSlotPages[i / kSlotPage])[i % kSlotPage]; }
  /** The slot at `i`, in a page that no copy shares any more. */
  Slot& OwnSlot(std::size_t i);
  /** The slot holding `key`, or the free slot where it belongs. The table is never full. */
  std::size_t SlotOf(std::string_view key, std::uint32_t hash) const;
  /** The position of `key`'s pair; kNoPair when absent. */
  std::uint32_t PositionOf(std::string_view key) const;
  /** Makes room for `keys` keys with the table at most half full. */
  void ReserveSlots(std::size_t keys);
  /** The pair at `position`, in a chunk that no copy shares any more. */
  Entry& OwnAt(std::size_t position);
  void Append(Entry&& entry);
  /** Pairs the chunks have room for: whole chunks, but for a small dictionary's one. */
  std::size_t RoomForPairs() const {
    return fChunks.size() == 1 ? fChunks.front()->capacity() : fChunks.size() * kChunk;
  }
  void MoveToEnd(Slot& slot, PMString&& key, PMString&& value);
  void CloseGaps();

  std::vector<std::shared_ptr<Chunk>> fChunks;
  // One mark per position; the pair in a gap stays in its chunk until the gaps are closed.
  std::vector<bool> fGaps;
  std::size_t fGapCount = 0;
  // The index in pages that copies share as they share the chunks.
  std::vector<std::shared_ptr<SlotPage>> fSlotPages;
  std::size_t fSlotCount = 0;
  std::size_t fKeyCount = 0;
  // What the texts take, kept up as pairs come and go, and counted afresh once a value may
  // have changed through FindToChange.
  std::size_t fTextBytes = 0;
  bool fChanged = false;
};

KDictionary::Pairs::Slot& KDictionary::Pairs::OwnSlot(std::size_t i) {
  std::shared_ptr<SlotPage>& page = fSlotPages[i / kSlotPage];
  if (page.use_count() > 1)
    page = std::make_shared<SlotPage>(*page);
  return (*page)[i % kSlotPage];
}

std::size_t KDictionary::Pairs::SlotOf(std::string_view key, std::uint32_t hash) const {
  const std::size_t mask = fSlotCount - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = SlotAt(i);
    if (slot.position == kNoPair)
      return i;
    if (slot.hash == hash && At(slot.position).key.GetUTF8String() == key)
      return i;
  }
}

std::uint32_t KDictionary::Pairs::PositionOf(std::string_view key) const {
  return fSlotCount == 0 ? kNoPair : SlotAt(SlotOf(key, HashOf(key))).position;
}

void KDictionary::Pairs::ReserveSlots(std::size_t keys) {
  std::size_t size = std::max<std::size_t>(fSlotCount, 16);
  while (size < 2 * keys)
    size *= 2;
  if (size == fSlotCount)
    return;
  std::vector<std::shared_ptr<SlotPage>> old;
  old.swap(fSlotPages);
  for (std::size_t i = 0; i < size; i += kSlotPage)
    fSlotPages.push_back(std::make_shared<SlotPage>(std::min(size, kSlotPage)));
  fSlotCount = size;
  const std::size_t mask = size - 1;
  for (const std::shared_ptr<SlotPage>& page : old) {
    for (const Slot& moved : *page) {
      if (moved.position == kNoPair)
        continue;
      std::size_t i = moved.hash & mask;
      while (SlotAt(i).position != kNoPair)
        i = (i + 1) & mask;
      OwnSlot(i) = moved;
    }
  }
}

namespace {

std::size_t TextBytesOf(const KDictionary::Entry& entry) {
  return entry.key.GetUTF8String().capacity() + entry.value.GetUTF8String().capacity();
}

} // namespace

KDictionary::Entry& KDictionary::Pairs::OwnAt(std::size_t position) {
  std::shared_ptr<Chunk>& chunk = fChunks[position / kChunk];
  if (chunk.use_count() > 1)
    chunk = std::make_shared<Chunk>(*chunk);
  return (*chunk)[position % kChunk];
}

void KDictionary::Pairs::Append(Entry&& entry) {
  // A dictionary of a few pairs, as most are, grows its one chunk as it fills; a larger one
  // takes whole chunks.
  const bool small = fGaps.size() < kChunk;
  if (fGaps.size() % kChunk == 0) {
    fChunks.push_back(std::make_shared<Chunk>());
    fChunks.back()->reserve(small ? 1 : kChunk);
  } else if (fChunks.back().use_count() > 1) {
    const Chunk& shared = *fChunks.back();
    auto own = std::make_shared<Chunk>();
    own->reserve(small ? shared.size() + 1 : kChunk);
    own->assign(shared.begin(), shared.end());
    fChunks.back() = std::move(own);
  }
  fTextBytes += TextBytesOf(entry);
  fChunks.back()->push_back(std::move(entry));
  fGaps.push_back(false);
}

const PMString* KDictionary::Pairs::Find(std::string_view key) const {
  const std::uint32_t position = PositionOf(key);
  return position == kNoPair ? nullptr : &At(position).value;
}

PMString* KDictionary::Pairs::FindToChange(std::string_view key) {
  const std::uint32_t position = PositionOf(key);
  if (position == kNoPair)
    return nullptr;
  // The caller may change the value: from now on its memory is counted afresh.
  fChanged = true;
  return &OwnAt(position).value;
}

void KDictionary::Pairs::Put(PMString&& key, PMString&& value) {
  ReserveSlots(fKeyCount + 1);
  const std::string_view text = key.GetUTF8String();
  const std::uint32_t hash = HashOf(text);
  Slot& slot = OwnSlot(SlotOf(text, hash));
  if (slot.position != kNoPair) {
    MoveToEnd(slot, std::move(key), std::move(value));
    return;
  }
  slot = Slot{hash, static_cast<std::uint32_t>(Size())};
  ++fKeyCount;
  Append(Entry{std::move(key), std::move(value)});
}

void KDictionary::Pairs::MoveToEnd(Slot& slot, PMString&& key, PMString&& value) {
  const std::size_t old = slot.position;
  if (old + 1 == Size()) {
    Entry& last = OwnAt(old);
    fTextBytes -= TextBytesOf(last);
    last = Entry{std::move(key), std::move(value)};
    fTextBytes += TextBytesOf(last);
    return;
  }
  slot.position = static_cast<std::uint32_t>(Size());
  Append(Entry{std::move(key), std::move(value)});
  fGaps[old] = true;
  ++fGapCount;
  if (fGapCount > PairCount())
    CloseGaps();
}

void KDictionary::Pairs::CloseGaps() {
  std::vector<std::uint32_t> moved(Size(), kNoPair);
  std::vector<std::shared_ptr<Chunk>> chunks;
  chunks.swap(fChunks);
  std::vector<bool> gaps;
  gaps.swap(fGaps);
  fGapCount = 0;
  // Every pair moves, so no value found for a change earlier can still change.
  fTextBytes = 0;
  fChanged = false;
  for (std::size_t i = 0; i < gaps.size(); ++i) {
    if (gaps[i])
      continue;
    moved[i] = static_cast<std::uint32_t>(Size());
    std::shared_ptr<Chunk>& chunk = chunks[i / kChunk];
    Entry& entry = (*chunk)[i % kChunk];
    // Pairs that a copy still shares are copied, the others moved.
    Append(chunk.use_count() > 1 ? Entry(entry) : std::move(entry));
  }
  for (std::size_t i = 0; i < fSlotCount; ++i) {
    if (SlotAt(i).position != kNoPair)
      OwnSlot(i).position = moved[SlotAt(i).position];
  }
}

void KDictionary::Pairs::IndexLoaded() {
  ReserveSlots(Size());
  // The slots of a large dictionary lie far apart in memory: each key's slot is fetched a few
  // keys ahead, while the keys before it go in.
  constexpr std::size_t kAhead = 8;
  std::uint32_t ahead[kAhead];
  const auto fetch = [&](std::size_t i) {
    ahead[i % kAhead] = HashOf(At(i).key.GetUTF8String());
    __builtin_prefetch(&SlotAt(ahead[i % kAhead] & (fSlotCount - 1)));
  };
  for (std::size_t i = 0; i < std::min(kAhead, Size()); ++i)
    fetch(i);
  for (std::size_t i = 0; i < Size(); ++i) {
    const std::uint32_t hash = ahead[i % kAhead];
    if (i + kAhead < Size())
      fetch(i + kAhead);
    const std::string_view text = At(i).key.GetUTF8String();
    Slot& slot = OwnSlot(SlotOf(text, hash));
    // A key stored twice keeps its last value and its last place.
    if (slot.position != kNoPair) {
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
  for (std::size_t i = 0; i < Size(); ++i) {
    if (!fGaps[i])
      bytes += 8 + 2 * (At(i).key.GetUTF8String().size() + At(i).value.GetUTF8String().size());
  }
  stream->ExpectBytes(bytes);
  for (std::size_t i = 0; i < Size(); ++i) {
    if (fGaps[i])
      continue;
    // Streaming out leaves the texts as they are, so shared pairs need no copy of their own.
    Entry& entry = (*fChunks[i / kChunk])[i % kChunk];
    entry.key.ReadWrite(stream);
    entry.value.ReadWrite(stream);
  }
}

std::size_t KDictionary::Pairs::Bytes() const {
  std::size_t bytes =
      sizeof(Pairs) + fChunks.capacity() * sizeof(std::shared_ptr<Chunk>) +
      fChunks.size() * sizeof(Chunk) + RoomForPairs() * sizeof(Entry) + fGaps.capacity() / 8 +
      fSlotPages.capacity() * sizeof(std::shared_ptr<SlotPage>) + fSlotCount * sizeof(Slot);
  if (!fChanged)
    return bytes + fTextBytes;
  for (const std::shared_ptr<Chunk>& chunk : fChunks) {
    for (const Entry& entry : *chunk)
      bytes += TextBytesOf(entry);
  }
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
  return Own().FindToChange(key.GetUTF8String());
}

const PMString* KDictionary::Find(const PMString& key) const {
  return fPairs->Find(key.GetUTF8String());
}

std::int32_t KDictionary::count() const {
  const std::size_t entries = fPairs->PairCount();
  const std::size_t keys = fPairs->KeyCount();
  if (entries != keys) {
    folivox::Trace("KDictionary::count inconsistency found! Number of keys not equal to number of "
                   "values!. KDictionary will continue but behavious is undefined.\n");
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
  folivox::Trace("KDictionary::ReadWrite: stored preferences are damaged; starting with none.\n");
}

void KDictionary::Save(IPMStream* stream) {
  std::int32_t stored = count();
  stream->XferInt32(stored);
  fPairs->Save(stream);
}

void KDictionary::Put(PMString&& key, PMString&& value) {
  Own().Put(std::move(key), std::move(value));
}
