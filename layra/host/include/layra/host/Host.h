#pragma once
// The running host: its session, the plug-ins it loaded, the application
// defaults with the workspace, actions, panels and services.

#include <layra/IPlugIn.h>
#include <layra/UIDRef.h>
#include <layra/host/Alerts.h>
#include <layra/host/DataBase.h>
#include <layra/host/PluginResources.h>
#include <layra/host/Result.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace layra {

/** How much undo history each database keeps; the oldest steps go first. Zero steps turns
 *  undo off. */
struct UndoLimits {
  std::size_t steps = 100;
  std::size_t bytes = std::size_t{64} << 20;
};

struct HostOptions {
  /** The user folder that holds the workspace file. */
  std::filesystem::path home;
  std::vector<std::filesystem::path> pluginFolders;
  int locale = 1;
  AlertAnswer alertAnswer = AlertAnswer::Default;
  /** Whether actions get a context to run in; a host without one skips them at start-up. */
  bool activeContext = true;
};

/** Where a plug-in got to: found in a folder, opened (GetPlugIn answered and it agreed to
 *  load), its resources read, its implementations registered, loaded (what it declares is
 *  installed), unloaded at shut-down; or failed, with the reason in `error`. */
enum class PluginState { Found, Opened, Read, Registered, Loaded, Unloaded, Failed };

struct LoadedPlugin {
  std::filesystem::path library;
  IPlugIn* plugIn = nullptr;
  PluginResources resources;
  PluginState state = PluginState::Found;
  std::string error;
};

struct ResidentMark {
  ImplementationID implementation;
  bool resident;
};

class Application;
class OpenDocuments;
class PluginLoader;
class ServiceRegistry;
class WorkspaceStore;

/** The running host. It owns the pieces (plug-in loader, workspace, open documents,
 *  services) and runs them in order at start and shut-down. */
class LAYRA_API Host {
public:
  /** A new host. Only one may live in a process at a time: a second one is refused and the
   *  first left untouched. */
  static Result<std::unique_ptr<Host>> Create(HostOptions options);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  /** The folder used when no --home is given: $XDG_CONFIG_HOME/layra or ~/.config/layra. */
  static std::filesystem::path DefaultHome();
  static Host* Current();

  /** Loads the plug-ins and the workspace, then runs the start-up services. Problems with
   *  single plug-ins or a damaged workspace are reported and do not stop the start. */
  void Start();
  /** The first half of Start: plug-ins and workspace, no start-up service yet, so a caller
   *  can check actions before anything is downloaded or shown. */
  void Load();
  /** Runs the shut-down services, unloads the plug-ins and saves the workspace; fails when
   *  the workspace could not be saved. */
  Result<void> Shutdown();

  /** Runs the action on the component of the plug-in that declares it. */
  Result<void> PerformAction(ActionID action);
  bool IsActionKnown(ActionID action) const;
  /** Sends a document signal to every responder registered for it. */
  void SendDocumentSignal(ServiceID service, const UIDRef& document);
  /** Whether actions have a context to run in (the host has one once started). */
  void SetActiveContextAvailable(bool available);

  /** A new document of blank pages, named "Untitled-N"; it becomes the front document. */
  UIDRef NewDocument(std::int32_t pages, double width, double height);
  /** Opens a document file; it becomes the front document. */
  Result<UIDRef> OpenDocument(const std::filesystem::path& file);
  Result<void> SaveDocument(const UIDRef& document);
  Result<void> SaveDocumentAs(const UIDRef& document, const std::filesystem::path& file);
  void CloseDocument(const UIDRef& document);
  /** The front document; invalid when none is open. */
  UIDRef FrontDocument() const;
  /** Makes an open document the front one: the active context and selection follow it. */
  void BringToFront(const UIDRef& document);

  DataBase& ApplicationDefaults() { return *fDefaults; }
  /** Bounds the undo history of every database (the defaults hold until the host goes). */
  void SetUndoLimits(UndoLimits limits);
  /** What the undo history of `db` holds, in bytes. */
  std::size_t UndoHistoryBytes(const IDataBase* db) const;
  UIDRef Workspace() const;
  std::filesystem::path WorkspaceFile() const;
  /** The name the damaged workspace file was kept under, if one was set aside at start. */
  const std::filesystem::path& SetAsideWorkspace() const;

  /** Every plug-in library found, with its state; failed ones say why. */
  const std::vector<LoadedPlugin>& Plugins() const;
  const std::vector<MenuDeclaration>& Menus() const;
  const std::vector<ResidentMark>& ResidentMarks() const { return fResidentMarks; }
  void AddResidentMark(ResidentMark mark) { fResidentMarks.push_back(mark); }

private:
  explicit Host(HostOptions options);
  void RegisterHostClasses();

  HostOptions fOptions;
  Application* fApplication = nullptr; // referenced
  std::unique_ptr<WorkspaceStore> fWorkspace;
  std::unique_ptr<DataBase> fDefaults;
  std::unique_ptr<ServiceRegistry> fServices;
  std::unique_ptr<PluginLoader> fPlugins;
  std::unique_ptr<OpenDocuments> fDocuments;
  std::vector<ResidentMark> fResidentMarks;
  bool fLoaded = false;
  bool fStarted = false;
};

} // namespace layra
