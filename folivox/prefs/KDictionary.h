#pragma once
// Text values under text keys, kept in the order the keys were last set. The
// store may hold a page status for every document ever seen, so lookups and
// updates go through a hash index and never scan the pairs.

#include <layra/PMString.h>

#include <cstdint>
#include <list>
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

  KDictionary() = default;
  KDictionary(const KDictionary& other);
  KDictionary& operator=(const KDictionary& other);
  KDictionary(KDictionary&& other) = default;
  KDictionary& operator=(KDictionary&& other) = default;
  ~KDictionary() = default;

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

  const_iterator begin() const { return fEntries.begin(); }
  const_iterator end() const { return fEntries.end(); }
  std::vector<PMString> Keys() const;
  std::vector<PMString> Values() const;

private:
  using Position = std::list<Entry>::iterator;

  void Load(IPMStream* stream);
  void Save(IPMStream* stream);
  void Put(PMString&& key, PMString&& value);
  void Append(PMString&& key, PMString&& value);
  void ReserveFor(std::int32_t stored, const IPMStream* stream);
  void Reindex();

  std::list<Entry> fEntries;
  // Views of the keys inside fEntries: list nodes never move, so the views stay valid.
  std::unordered_map<std::string_view, Position> fIndex;
};
