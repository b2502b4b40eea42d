#pragma once
// A real host started in a temporary home, with the plug-in's preference
// classes assembled from the plug-in's own implementation table instead of
// loading the plug-in: the workspace carries the store, and the preference
// command exists.

#include "prefs/ICommonPreferenceData.h"

#include <layra/host/Host.h>

#include <filesystem>
#include <vector>

namespace folivox::test {

class PreferenceHost {
public:
  explicit PreferenceHost(const std::filesystem::path& home);

  layra::Host& Host() { return fHost; }
  IDataBase* Defaults() { return fHost.Workspace().GetDataBase(); }
  /** Both implementations were in the plug-in's table. */
  bool Assembled() const { return fAssembled; }
  InterfacePtr<ICommonPreferenceData> WorkspaceStore() const;
  std::vector<PMString> StoredKeys() const;

private:
  layra::Host fHost;
  bool fAssembled;
};

/** Sets one preference the way the plug-in's code does, keeping the others; the result of
 *  processing the command. */
ErrorCode WritePreference(const PMString& key, const PMString& value);

} // namespace folivox::test
