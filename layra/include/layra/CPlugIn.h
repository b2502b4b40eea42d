#pragma once
// Base of a plug-in object: keeps the plug-in's ID, gives the usual lifecycle answers
// (loads, unloads, not optional) and registers implementation records with the host, so
// a plug-in writes only what differs.

#include <layra/IImplementationRegistry.h>
#include <layra/IPlugIn.h>
#include <layra/ISession.h>

class CPlugIn : public IPlugIn {
public:
  void SetPluginID(PluginID id) override { fPluginID = id; }
  PluginID GetPluginID() const override { return fPluginID; }

  bool CanLoad() override { return true; }
  bool Load() override { return true; }
  bool CanUnload() override { return true; }
  bool IsOptional() override { return false; }
  void Unload() override {}

protected:
  ~CPlugIn() = default;

  /** Registers records with the host's registry under `id`; false when the registry is
   *  missing or refuses any of them (the host then does not load the plug-in). */
  template <class Records>
  [[nodiscard]] static bool RegisterRecords(PluginID id, const Records& records) {
    InterfacePtr<IImplementationRegistry> registry(GetExecutionContextSession(), UseDefaultIID());
    if (!registry)
      return false;
    bool all = true;
    for (const ImplementationRecord& r : records)
      all = registry->RegisterImplementation(id, r.id, r.create, r.destroy, r.size, r.persist,
                                             r.reserved, r.reservedFlags) &&
            all;
    return all;
  }

private:
  PluginID fPluginID = kInvalidPlugin;
};
