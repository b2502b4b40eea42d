#pragma once

#include <layra/CPMUnknown.h>
#include <layra/IK2ServiceProvider.h>

/** Makes the document-watch responder answer the host's document signals. */
class DocWchServiceProvider : public CPMUnknown<IK2ServiceProvider> {
public:
  explicit DocWchServiceProvider(IPMUnknown* boss);
  void GetName(PMString* name) override;
  ServiceID GetServiceID() override { return fServiceIDs.front(); }
  bool IsDefaultServiceProvider() override { return false; }
  std::int32_t GetInstantiationPolicy() override { return 0; }
  bool HasMultipleIDs() const override { return true; }
  void GetServiceIDs(std::vector<ServiceID>& serviceIDs) override;

private:
  std::vector<ServiceID> fServiceIDs;
};
