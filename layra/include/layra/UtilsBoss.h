#pragma once

#include <layra/Export.h>
#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IDataBase;

/** Host utility for implementation bookkeeping. */
class IImplementationUtils : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IIMPLEMENTATIONUTILS;
  virtual bool IsImplementationRegistered(ImplementationID id) const = 0;
  virtual PluginID GetPluginOf(ImplementationID id) const = 0;
  virtual std::int32_t CountImplementations() const = 0;
  /** Marks an implementation whose data the host must keep loaded at all times. */
  virtual void SetImplementationResident(ImplementationID id, bool resident) = 0;
};

/** Host utility that tells whoever watches a whole database of a change to one of its objects:
 *  the change goes to the subject of the database's root object (a document, or the
 *  workspace), so that an observer of a document hears of changes to any of its page items
 *  without attaching to each. */
class IBroadcastUtils : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IBROADCASTUTILS;
  virtual void BroadcastModelChange(IDataBase* db, ClassID change, PMIID protocol,
                                    void* changedBy) = 0;
};

namespace UtilsBoss {
/** The host utility `T` with one reference, or null. */
LAYRA_API IPMUnknown* QueryUtils(PMIID iid);
template <class T> T* QueryUtils() {
  return static_cast<T*>(QueryUtils(T::kDefaultIID));
}
} // namespace UtilsBoss
