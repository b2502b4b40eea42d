#pragma once
// A real host started in a temporary home, with the plug-in's preference classes
// assembled from the plug-in's own implementation table instead of loading it.

#include "prefs/ICommonPreferenceData.h"

#include <layra/host/Host.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <vector>

namespace folivox::test {

class PreferenceHost {
public:
  explicit PreferenceHost(const std::filesystem::path& home);

  layra::Host& Host() { return *fHost; }
  IDataBase* Defaults() { return fHost->Workspace().GetDataBase(); }
  /** Whether both implementations were found in the plug-in's table. */
  bool Assembled() const { return fAssembled; }
  InterfacePtr<ICommonPreferenceData> WorkspaceStore() const;
  std::vector<PMString> StoredKeys() const;

private:
  std::unique_ptr<layra::Host> fHost;
  bool fAssembled;
};

/** Makes the implementations `ids` of the plug-in's own table known to the host; how many
 *  were. */
int RegisterFromPluginTable(std::initializer_list<ImplementationID> ids);

/** Sets one preference the way the plug-in's code does; the command's result. */
ErrorCode WritePreference(const PMString& key, const PMString& value);

} // namespace folivox::test
