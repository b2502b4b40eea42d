#pragma once

#include <layra/CPMUnknown.h>
#include <layra/HostIDs.h>

class IImplementationRegistry : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IIMPLEMENTATIONREGISTRY;

  /** Makes one implementation known under the plug-in that provides it; false when the ID is taken.
   */
  [[nodiscard]] virtual bool RegisterImplementation(PluginID plugin, ImplementationID id,
                                                    ImplementationRecord::CreateFunction create,
                                                    ImplementationRecord::DestroyFunction destroy,
                                                    ImplementationRecord::SizeFunction size,
                                                    ImplementationRecord::PersistFunction persist,
                                                    const void* reserved,
                                                    std::int32_t reservedFlags) = 0;
};
