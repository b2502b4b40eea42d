#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>
#include <layra/PMString.h>

#include <vector>

/** Makes its boss a provider of one or more services. The host creates one boss of every
 *  class with this interface when it starts, after every plug-in is loaded, asks it for its
 *  service IDs once, and keeps it until shut-down; the same boss then answers as the
 *  service (IStartupShutdownService, IResponder, ...). Called on the main thread only. */
class IK2ServiceProvider : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IK2SERVICEPROVIDER;
  virtual void GetName(PMString* name) = 0;
  /** The one service provided; asked only when HasMultipleIDs() is false. */
  virtual ServiceID GetServiceID() = 0;
  virtual bool IsDefaultServiceProvider() = 0;
  virtual std::int32_t GetInstantiationPolicy() = 0;
  virtual bool HasMultipleIDs() const = 0;
  /** Appends every service provided; asked only when HasMultipleIDs() is true. */
  virtual void GetServiceIDs(std::vector<ServiceID>& serviceIDs) = 0;
};
