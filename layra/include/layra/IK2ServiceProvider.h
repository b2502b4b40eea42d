#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>
#include <layra/PMString.h>

#include <vector>

class IK2ServiceProvider : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IK2SERVICEPROVIDER;
  virtual void GetName(PMString* name) = 0;
  virtual ServiceID GetServiceID() = 0;
  virtual bool IsDefaultServiceProvider() = 0;
  virtual std::int32_t GetInstantiationPolicy() = 0;
  virtual bool HasMultipleIDs() const = 0;
  virtual void GetServiceIDs(std::vector<ServiceID>& serviceIDs) = 0;
};
