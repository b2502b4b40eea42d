#pragma once

#include <layra/Export.h>
#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IObjectModel : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IOBJECTMODEL;
  /** A new boss of `classID`, interface `iid`, one reference; null when either is unknown. */
  virtual IPMUnknown* CreateInstance(ClassID classID, PMIID iid) = 0;
  virtual bool IsClassKnown(ClassID classID) const = 0;
};

/** A new boss of `classID`, interface `iid`, one reference; null when either is unknown. */
LAYRA_API IPMUnknown* CreateObject(ClassID classID, PMIID iid = IID_IUNKNOWN);
template <class T> T* CreateObject2(ClassID classID) {
  return static_cast<T*>(CreateObject(classID, T::kDefaultIID));
}
