#pragma once
// Text values under text keys, kept in the order the keys were last set. The
// store may hold a page status for every document ever seen, so lookups and
// updates go through a hash index and never scan the pairs. Copies share the pairs
// until one of them changes, and a change then copies only the part it touches, so
// copying a whole store (every write through the preference command does, and so does
// an undo snapshot) costs next to nothing.

#include <layra/PMString.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class IPMStream;

class KDictionary {
  class Pairs;

public:
  struct Entry {
    PMString key;
    PMString value;
  };

  /** Walks the pairs in dictionary order. */
  class const_iterator {
  public:
    const_iterator(const Pairs* pairs, std::size_t position);
    const Entry& operator*() const;
    const_iterator& operator++();
    bool operator==(const const_iterator& other) const { return fPosition == other.fPosition; }

  private:
    void SkipGaps();

    const Pairs* fPairs;
    std::size_t fPosition;
  };

  KDictionary();

  /** Stores `value` under `key` (compared case-sensitively); the pair becomes the last one. */
  void Set(const PMString& key, const PMString& value);
  /** The value under `key`, valid until the dictionary next changes; null when absent. */
  PMString* Find(const PMString& key);
  const PMString* Find(const PMString& key) const;
  std::int32_t count() const;
  void Clear();

  /** Streams a 32-bit count, then each key and its value. Loading replaces the contents; when
   *  the stored data are damaged it leaves the dictionary empty and the stream failed. */
  void ReadWrite(IPMStream* stream);

  const_iterator begin() const;
  const_iterator end() const;
  std::vector<PMString> Keys() const;
  std::vector<PMString> Values() const;
  /** About the memory the pairs take. */
  std::size_t Bytes() const;

private:
  void Load(IPMStream* stream);
  void Save(IPMStream* stream);
  void Put(PMString&& key, PMString&& value);
  /** The pairs, made this dictionary's own before a change. */
  Pairs& Own();

  std::shared_ptr<Pairs> fPairs;
};
