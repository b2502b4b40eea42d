#pragma once

#include <layra/Export.h>
#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

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

namespace UtilsBoss {
/** The host utility `T` with one reference, or null. */
LAYRA_API IPMUnknown* QueryUtils(PMIID iid);
template <class T> T* QueryUtils() {
  return static_cast<T*>(QueryUtils(T::kDefaultIID));
}
} // namespace UtilsBoss
