#pragma once
// Finds the plug-in libraries in the plug-in folders, loads each one and makes
// what it declares known to the host. Every plug-in found keeps its state and,
// when it failed, why.

#include <layra/host/Host.h>

#include <filesystem>
#include <string>
#include <vector>

namespace layra {

class Application;

class PluginLoader {
public:
  explicit PluginLoader(Application& application) : fApplication(application) {}

  /** Loads every library of the folders, in name order within a folder. */
  void LoadFolders(const std::vector<std::filesystem::path>& folders);
  /** Lets every loaded plug-in stop its work; the libraries stay mapped. */
  void UnloadAll();

  const std::vector<LoadedPlugin>& Plugins() const { return fPlugins; }
  const std::vector<MenuDeclaration>& Menus() const { return fMenus; }

private:
  void Load(const std::filesystem::path& library);
  bool Open(LoadedPlugin& plugin);
  bool ReadResources(LoadedPlugin& plugin);
  bool Register(LoadedPlugin& plugin);
  bool Start(LoadedPlugin& plugin);
  std::string ClassClash(const LoadedPlugin& plugin) const;
  std::string Refusal(PluginID plugin) const;
  std::string OwnerOf(PluginID id) const;
  const LoadedPlugin* LoadedWithID(PluginID id) const;
  void Install(const PluginResources& resources);
  static bool Fail(LoadedPlugin& plugin, std::string error);

  Application& fApplication;
  std::vector<LoadedPlugin> fPlugins;
  std::vector<MenuDeclaration> fMenus;
};

} // namespace layra
