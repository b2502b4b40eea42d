// folivox-preference: stores one preference of the plug-in in the host's
// workspace through the plug-in's preference command, as the preferences
// panel does, keeping every other entry.
//
//   folivox-preference [--home DIR] [--plugins DIR] KEY VALUE

#include "frame/FolivoxIDs.h"
#include "prefs/ICommonPreferenceData.h"

#include <layra/CmdUtils.h>
#include <layra/IObjectModel.h>
#include <layra/host/Host.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "folivox-preference: %s\n", message.c_str());
  return 2;
}

bool Store(layra::Host& host, const PMString& key, const PMString& value) {
  InterfacePtr<ICommonPreferenceData> current(
      static_cast<ICommonPreferenceData*>(host.Workspace().Instantiate(IID_ICOMMONPREFERENCEDATA)));
  InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kQuorPreferenceCommandBoss));
  InterfacePtr<ICommonPreferenceData> data(command, UseDefaultIID());
  if (!current || !command || !data)
    return false;
  current->AddRef(); // CopyFrom takes over one reference
  data->CopyFrom(current);
  data->SetValue(key, value);
  command->SetItemList(UIDList(host.Workspace()));
  return CmdUtils::ProcessCommand(command) == kSuccess;
}

} // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::filesystem::path home = layra::Host::DefaultHome();
  std::filesystem::path plugins =
      std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "plugins";
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--home" && i + 1 < arguments.size())
      home = arguments[++i];
    else if (argument == "--plugins" && i + 1 < arguments.size())
      plugins = arguments[++i];
    else
      positional.push_back(argument);
  }
  if (positional.size() != 2)
    return Fail("usage: folivox-preference [--home DIR] [--plugins DIR] KEY VALUE");

  // Start-up services would download the configuration; this program only writes.
  layra::Host host(layra::HostOptions{home, {plugins}, 1, layra::AlertAnswer::First, false});
  host.Start();
  if (!Store(host, PMString(positional[0], PMString::kDontTranslateDuringCall),
             PMString(positional[1], PMString::kDontTranslateDuringCall)))
    return Fail("the plug-in's preference store is not available in " + plugins.string());
  return host.Shutdown() ? 0 : 1;
}
