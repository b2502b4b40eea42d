#pragma once
// Text values under text keys, kept in the order the keys were last set. The
// store may hold a page status for every document ever seen, so lookups and
// updates go through a hash index and never scan the pairs. Copies share the pairs
// until one of them changes, so copying a whole store (every write through the
// preference command does, and so does an undo snapshot) costs next to nothing.

#include <layra/PMString.h>

#include <cstdint>
#include <list>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

class IPMStream;

class KDictionary {
public:
  struct Entry {
    PMString key;
    PMString value;
  };
  using const_iterator = std::list<Entry>::const_iterator;

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

  const_iterator begin() const { return fPairs->entries.begin(); }
  const_iterator end() const { return fPairs->entries.end(); }
  std::vector<PMString> Keys() const;
  std::vector<PMString> Values() const;
  /** About the memory the pairs take. */
  std::size_t Bytes() const;

private:
  using Position = std::list<Entry>::iterator;

  void Load(IPMStream* stream);
  void Save(IPMStream* stream);
  void Put(PMString&& key, PMString&& value);
  void Append(PMString&& key, PMString&& value);
  void ReserveFor(std::int32_t stored, const IPMStream* stream);

  struct Pairs {
    Pairs() = default;
    Pairs(const Pairs& other);
    Pairs& operator=(const Pairs&) = delete;

    std::list<Entry> entries;
    // Views of the keys inside entries: list nodes never move, so the views stay valid.
    std::unordered_map<std::string_view, Position> index;
  };
  /** The pairs, made this dictionary's own before a change. */
  Pairs& Own();

  std::shared_ptr<Pairs> fPairs;
};
