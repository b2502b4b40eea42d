#include "PluginLoader.h"

#include "../text/StringTables.h"
#include "Application.h"

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>

namespace layra {
namespace {

std::string Hex(std::uint32_t number) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", number);
  return text;
}

} // namespace

void PluginLoader::LoadFolders(const std::vector<std::filesystem::path>& folders) {
  for (const std::filesystem::path& folder : folders) {
    std::error_code error;
    std::vector<std::filesystem::path> libraries;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      if (entry.path().extension() == ".so")
        libraries.push_back(entry.path());
    }
    if (error) {
      std::fprintf(stderr, "layra: cannot read the plug-in folder %s: %s\n", folder.c_str(),
                   error.message().c_str());
      continue;
    }
    std::sort(libraries.begin(), libraries.end());
    for (const std::filesystem::path& library : libraries)
      Load(library);
  }
}

void PluginLoader::Load(const std::filesystem::path& library) {
  LoadedPlugin& plugin = fPlugins.emplace_back();
  plugin.library = library;
  if (!Open(plugin) || !ReadResources(plugin) || !Register(plugin) || !Start(plugin)) {
    std::fprintf(stderr, "layra: %s\n", plugin.error.c_str());
    return;
  }
  Install(plugin.resources);
}

bool PluginLoader::Fail(LoadedPlugin& plugin, std::string error) {
  plugin.state = PluginState::Failed;
  plugin.error = std::move(error);
  return false;
}

bool PluginLoader::Open(LoadedPlugin& plugin) {
  // Plug-ins are never unloaded: their threads and objects may outlive shut-down.
  void* handle = ::dlopen(plugin.library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle)
    return Fail(plugin, "cannot load plug-in " + plugin.library.string() + ": " + ::dlerror());
  auto entry = reinterpret_cast<GetPlugInFunction>(::dlsym(handle, "GetPlugIn"));
  plugin.plugIn = entry ? entry() : nullptr;
  if (!plugin.plugIn)
    return Fail(plugin, plugin.library.string() + " is not a plug-in (no GetPlugIn)");
  if (!plugin.plugIn->CanLoad())
    return Fail(plugin, plugin.library.string() + " declined to load");
  plugin.state = PluginState::Opened;
  return true;
}

bool PluginLoader::ReadResources(LoadedPlugin& plugin) {
  Result<std::map<std::string, std::string>> files =
      ReadResourceArchive(plugin.plugIn->GetResourceFile());
  Result<PluginResources> resources =
      files ? ParseResources(files.value()) : Failure{files.error()};
  if (!resources)
    return Fail(plugin, "cannot read the resources of " + plugin.library.string() + ": " +
                            resources.error());
  plugin.resources = std::move(resources).value();
  if (LoadedWithID(plugin.resources.id))
    return Fail(plugin, plugin.library.string() + " has the ID of a plug-in already loaded");
  if (std::string clash = ClassClash(plugin); !clash.empty())
    return Fail(plugin, std::move(clash));
  plugin.state = PluginState::Read;
  return true;
}

// A second class under an ID would silently take over every boss of the first.
std::string PluginLoader::ClassClash(const LoadedPlugin& plugin) const {
  const ObjectModel& model = ObjectModel::Instance();
  for (const ClassDescription& description : plugin.resources.classes) {
    const ClassDescription* registered = model.FindClass(description.id);
    if (!registered)
      continue;
    return plugin.library.string() + " declares the class " + Hex(description.id.Get()) + " (" +
           description.name + "), which " + OwnerOf(registered->plugin) +
           " registered already as " + registered->name;
  }
  return {};
}

// Why the registry refused one of the plug-in's implementations, as the end of its failure;
// empty when it refused none. Asked before the plug-in's registrations are taken back, so that
// a number the plug-in gives twice is found as its own.
std::string PluginLoader::Refusal(PluginID plugin) const {
  const std::optional<ImplementationID> refused = TakeRefusedImplementation(plugin);
  if (!refused)
    return {};
  const std::string id = Hex(refused->Get());
  const RegisteredImplementation* holder = ObjectModel::Instance().FindImplementation(*refused);
  if (!holder)
    return ": the record of " + id + " is incomplete";
  if (holder->plugin == plugin)
    return ": it registers " + id + " twice";
  return ": " + id + " is registered already by " + OwnerOf(holder->plugin);
}

std::string PluginLoader::OwnerOf(PluginID id) const {
  const LoadedPlugin* owner = LoadedWithID(id);
  return owner ? owner->library.string() : std::string("the host");
}

const LoadedPlugin* PluginLoader::LoadedWithID(PluginID id) const {
  const auto found = std::find_if(fPlugins.begin(), fPlugins.end(), [id](const auto& other) {
    return other.state == PluginState::Loaded && other.resources.id == id;
  });
  return found != fPlugins.end() ? &*found : nullptr;
}

bool PluginLoader::Register(LoadedPlugin& plugin) {
  const PluginID id = plugin.resources.id;
  plugin.plugIn->SetPluginID(id);
  const bool registered = plugin.plugIn->RegisterImplementations(id);
  const std::string refusal = Refusal(id);
  if (!registered) {
    ObjectModel::Instance().RemovePlugin(id);
    return Fail(plugin,
                plugin.library.string() + " could not register its implementations" + refusal);
  }
  plugin.state = PluginState::Registered;
  return true;
}

bool PluginLoader::Start(LoadedPlugin& plugin) {
  if (!plugin.plugIn->Load()) {
    ObjectModel::Instance().RemovePlugin(plugin.resources.id);
    return Fail(plugin, plugin.library.string() + " failed to load");
  }
  plugin.state = PluginState::Loaded;
  return true;
}

void PluginLoader::UnloadAll() {
  for (LoadedPlugin& plugin : fPlugins) {
    if (plugin.state != PluginState::Loaded)
      continue;
    plugin.plugIn->Unload();
    plugin.state = PluginState::Unloaded;
  }
}

void PluginLoader::Install(const PluginResources& resources) {
  ObjectModel& model = ObjectModel::Instance();
  for (const ClassDescription& description : resources.classes)
    model.AddClass(description);
  for (const auto& [target, binding] : resources.addIns)
    model.AddInterfaceToClass(target, binding, resources.id);
  for (const ActionDeclaration& action : resources.actions)
    fApplication.Actions().Declare(action);
  for (const PanelDeclaration& panel : resources.panels)
    fApplication.Panels().Declare(panel);
  fMenus.insert(fMenus.end(), resources.menus.begin(), resources.menus.end());
  std::stable_sort(fMenus.begin(), fMenus.end(),
                   [](const auto& a, const auto& b) { return a.position < b.position; });
  StringTables& strings = StringTables::Instance();
  for (const auto& [code, table] : resources.localeIndex) {
    if (auto found = resources.stringTables.find(table); found != resources.stringTables.end())
      strings.AddTable(code, found->second);
  }
  for (const std::string& table : resources.untranslatedTables)
    strings.AddTable(std::nullopt, resources.stringTables.at(table));
}

} // namespace layra
