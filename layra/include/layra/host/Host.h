#pragma once
// The running host: its session, the plug-ins it loaded, the application
// defaults with the workspace, actions, panels and services.

#include <layra/IPlugIn.h>
#include <layra/UIDRef.h>
#include <layra/host/Alerts.h>
#include <layra/host/DataBase.h>
#include <layra/host/PluginResources.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace layra {

struct HostOptions {
  /** The user folder that holds the workspace file. */
  std::filesystem::path home;
  std::vector<std::filesystem::path> pluginFolders;
  int locale = 1;
  AlertAnswer alertAnswer = AlertAnswer::Default;
  /** Whether actions get a context to run in; a host without one skips them at start-up. */
  bool activeContext = true;
};

struct LoadedPlugin {
  std::filesystem::path library;
  IPlugIn* plugIn = nullptr;
  PluginResources resources;
};

struct ResidentMark {
  ImplementationID implementation;
  bool resident;
};

class Application;

class Host {
public:
  /** Only one host may live in a process at a time; constructing a second one throws
   *  std::logic_error and leaves the first untouched. */
  explicit Host(HostOptions options);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  /** The folder used when no --home is given: $XDG_CONFIG_HOME/layra or ~/.config/layra. */
  static std::filesystem::path DefaultHome();
  static Host* Current();

  /** Loads the workspace and the plug-ins, then runs the start-up services. Problems with
   *  single plug-ins or a damaged workspace are reported and do not stop the start. */
  void Start();
  /** Runs the shut-down services and saves the workspace. */
  bool Shutdown(std::string* error = nullptr);
  bool IsStarted() const { return fStarted; }

  bool PerformAction(ActionID action);
  bool IsActionKnown(ActionID action) const;
  /** Sends a document signal to every responder registered for it. */
  void SendDocumentSignal(ServiceID service, const UIDRef& document);
  /** Whether actions have a context to run in (the host has one once started). */
  void SetActiveContextAvailable(bool available);

  /** A new document of blank pages, named "Untitled-N"; it becomes the front document. */
  UIDRef NewDocument(std::int32_t pages, double width, double height);
  /** Opens a document file; it becomes the front document. Invalid on failure, with a
   *  one-line reason. */
  UIDRef OpenDocument(const std::filesystem::path& file, std::string* error);
  bool SaveDocument(const UIDRef& document, std::string* error);
  bool SaveDocumentAs(const UIDRef& document, const std::filesystem::path& file,
                      std::string* error);
  void CloseDocument(const UIDRef& document);
  /** The front document; invalid when none is open. */
  UIDRef FrontDocument() const;
  /** Makes an open document the front one: the active context and selection follow it. */
  void BringToFront(const UIDRef& document);

  DataBase& ApplicationDefaults() { return *fDefaults; }
  UIDRef Workspace() const;
  std::filesystem::path WorkspaceFile() const;
  /** The name the damaged workspace file was kept under, if one was set aside at start. */
  const std::filesystem::path& SetAsideWorkspace() const { return fSetAside; }

  const std::vector<LoadedPlugin>& Plugins() const { return fPlugins; }
  const std::vector<MenuDeclaration>& Menus() const { return fMenus; }
  const std::vector<ResidentMark>& ResidentMarks() const { return fResidentMarks; }
  void AddResidentMark(ResidentMark mark) { fResidentMarks.push_back(mark); }
  Application& GetApplication() { return *fApplication; }

private:
  void RegisterHostClasses();
  void LoadWorkspace();
  void LoadPlugins();
  bool LoadPlugin(const std::filesystem::path& library);
  void Install(const PluginResources& resources);
  void RegisterServices();
  std::vector<IPMUnknown*> ProvidersOf(ServiceID service) const;
  UIDRef Adopt(std::unique_ptr<DataBase> document);
  bool Write(const UIDRef& document, const std::filesystem::path& file, std::string* error);
  void UpdateFrontDocument();

  HostOptions fOptions;
  std::unique_ptr<DataBase> fDefaults;
  Application* fApplication = nullptr;
  std::vector<LoadedPlugin> fPlugins;
  std::vector<MenuDeclaration> fMenus;
  std::vector<std::pair<ServiceID, IPMUnknown*>> fServices; // referenced provider bosses
  std::vector<ResidentMark> fResidentMarks;
  std::vector<std::unique_ptr<DataBase>> fDocuments;
  int fUntitledCount = 0;
  std::filesystem::path fSetAside;
  bool fStarted = false;
};

} // namespace layra
