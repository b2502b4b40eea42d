#pragma once

#include <layra/CPMUnknown.h>
#include <layra/IK2ServiceProvider.h>

class CServiceProvider : public CPMUnknown<IK2ServiceProvider> {
public:
  explicit CServiceProvider(IPMUnknown* boss) : CPMUnknown<IK2ServiceProvider>(boss) {}
  bool IsDefaultServiceProvider() override { return false; }
  std::int32_t GetInstantiationPolicy() override { return 0; }
  bool HasMultipleIDs() const override { return false; }
  void GetServiceIDs(std::vector<ServiceID>& serviceIDs) override {
    serviceIDs.push_back(GetServiceID());
  }
};
