#pragma once

#include <layra/Export.h>
#include <layra/IPMUnknown.h>

#include <vector>

class IDataBase;

/** A persistent object: its database and its UID there. */
class LAYRA_API UIDRef {
public:
  UIDRef() = default;
  UIDRef(IDataBase* db, UID uid) : fDataBase(db), fUID(uid) {}

  IDataBase* GetDataBase() const { return fDataBase; }
  UID GetUID() const { return fUID; }
  bool IsValid() const { return fDataBase != nullptr && fUID != kInvalidUID; }
  /** The object's interface `iid` with one reference, or null. */
  IPMUnknown* Instantiate(PMIID iid = IID_IUNKNOWN) const;

  friend bool operator==(const UIDRef&, const UIDRef&) = default;

private:
  IDataBase* fDataBase = nullptr;
  UID fUID = kInvalidUID;
};

/** Several objects of one database. */
class UIDList {
public:
  UIDList() = default;
  explicit UIDList(IDataBase* db) : fDataBase(db) {}
  explicit UIDList(const UIDRef& ref) : fDataBase(ref.GetDataBase()), fUIDs{ref.GetUID()} {}

  IDataBase* GetDataBase() const { return fDataBase; }
  std::int32_t Length() const { return static_cast<std::int32_t>(fUIDs.size()); }
  bool IsEmpty() const { return fUIDs.empty(); }
  UID At(std::int32_t index) const { return fUIDs.at(static_cast<std::size_t>(index)); }
  UIDRef GetRef(std::int32_t index) const { return UIDRef(fDataBase, At(index)); }
  void Append(UID uid) { fUIDs.push_back(uid); }
  void Remove(std::int32_t index) { fUIDs.erase(fUIDs.begin() + index); }

private:
  IDataBase* fDataBase = nullptr;
  std::vector<UID> fUIDs;
};
