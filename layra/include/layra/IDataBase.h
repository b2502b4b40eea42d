#pragma once
// A database of persistent objects: the application defaults (which hold the
// workspace) or one document.

#include <layra/Export.h>
#include <layra/IDFile.h>
#include <layra/UIDRef.h>

class IDataBase {
public:
  /** The object with that UID, interface `iid`, one reference; null when absent. */
  virtual IPMUnknown* Instantiate(UID uid, PMIID iid) const = 0;
  virtual UID GetRootUID() const = 0;
  /** Creates a new persistent object of class `classID` and returns its UID. */
  virtual UID NewUID(ClassID classID) = 0;
  virtual void DeleteUID(UID uid) = 0;
  virtual ClassID GetClass(UID uid) const = 0;
  virtual bool IsModified() const = 0;
  virtual const IDFile* GetSysFile() const = 0;

protected:
  ~IDataBase() = default;
};

/** The database of a persistent object and its UID; null and kInvalidUID otherwise. */
LAYRA_API IDataBase* GetDataBase(const IPMUnknown* object);
LAYRA_API UID GetUID(const IPMUnknown* object);
LAYRA_API UIDRef GetUIDRef(const IPMUnknown* object);
