#include <layra/host/Host.h>

#include "../documents/Documents.h"
#include "../model/HostImplementations.h"
#include "../model/MainThread.h"
#include "../model/Subject.h"
#include "../model/UndoHistory.h"
#include "../selection/SelectionManager.h"
#include "../services/HostServices.h"
#include "../services/ImageReading.h"
#include "../services/ServiceRegistry.h"
#include "../services/XmlDomServices.h"
#include "../storage/AtomicFile.h"
#include "../storage/WorkspaceStore.h"
#include "../text/StringTables.h"
#include "../ui/Widgets.h"
#include "Application.h"
#include "OpenDocuments.h"
#include "PluginLoader.h"

#include <layra/IImageReading.h>
#include <layra/ISession.h>
#include <layra/IXMLDOM.h>

#include <cstdio>
#include <cstdlib>

namespace layra {
namespace {

constexpr PluginID kHostPlugin{1};

Host* gCurrentHost = nullptr;

} // namespace

Result<std::unique_ptr<Host>> Host::Create(HostOptions options) {
  // The object model and the string tables belong to the process; a second host would
  // clear them under the first one.
  if (gCurrentHost)
    return Failure{"another layra::Host is still running in this process"};
  return std::unique_ptr<Host>(new Host(std::move(options)));
}

Host::Host(HostOptions options) : fOptions(std::move(options)) {
  gCurrentHost = this;
  SetMainThread(true);
  ObjectModel::Instance().Clear();
  StringTables::Instance().Clear();
  StringTables::Instance().SetLocale(fOptions.locale);
  Alerts::Instance().SetPolicy(fOptions.alertAnswer);
  RegisterHostClasses();
  fApplication = new Application();
  fWorkspace = std::make_unique<WorkspaceStore>(fOptions.home);
  fDefaults = std::make_unique<DataBase>();
  fServices = std::make_unique<ServiceRegistry>();
  fPlugins = std::make_unique<PluginLoader>(*fApplication);
  fDocuments = std::make_unique<OpenDocuments>(fApplication->Context(), *fServices);
}

Host::~Host() {
  // A host refused after loading never started, yet its plug-ins may have begun work of their
  // own when loaded: they are told to end it before the process does.
  if (fStarted)
    static_cast<void>(Shutdown()); // a workspace that could not be saved was reported
  else if (fLoaded)
    fPlugins->UnloadAll();
  fApplication->Panels().TearDown();
  fDocuments.reset();
  SetSessionObjects(nullptr, false, nullptr, kInvalidUID);
  fApplication->Actions().ReleaseComponents();
  fServices.reset();
  UndoHistory::Instance().ForgetAll();
  UndoHistory::Instance().SetLimits(UndoLimits{});
  fDefaults.reset();
  fApplication->Release();
  ObjectModel::Instance().Clear();
  StringTables::Instance().Clear();
  gCurrentHost = nullptr;
  SetMainThread(false);
}

Host* Host::Current() {
  return gCurrentHost;
}

std::filesystem::path Host::DefaultHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config)
    return std::filesystem::path(config) / "layra";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home ? home : ".") / ".config" / "layra";
}

void Host::RegisterHostClasses() {
  ObjectModel& model = ObjectModel::Instance();
  RegisterHostImplementations(model, kHostPlugin,
                              {RecordOf<WorkspaceImpl>(kWorkspaceImpl),
                               RecordOf<Subject>(kSubjectImpl),
                               RecordOf<StartupShutdownProvider>(kStartupShutdownProviderImpl),
                               RecordOf<PanelServiceProvider>(kPanelServiceProviderImpl)});
  RegisterDocumentClasses(model, kHostPlugin);
  RegisterSelectionClasses(model, kHostPlugin);
  RegisterHostImplementations(model, kHostPlugin,
                              {RecordOf<ImageFormatManager>(kImageFormatManagerImpl),
                               RecordOf<ImageAttributes>(kImageAttributesImpl)});
  model.AddClass(ClassDescription{kImageFormatManagerBoss,
                                  kInvalidClass,
                                  "kImageFormatManagerBoss",
                                  kHostPlugin,
                                  {{IID_IIMAGEFORMATMANAGER, kImageFormatManagerImpl}}});
  model.AddClass(ClassDescription{kImageAttributesBoss,
                                  kInvalidClass,
                                  "kImageAttributesBoss",
                                  kHostPlugin,
                                  {{IID_IIMAGEATTRIBUTES, kImageAttributesImpl}}});
  RegisterHostImplementations(
      model, kHostPlugin,
      {RecordOf<XmlDomParser>(kXmlDomParserImpl), RecordOf<XmlDomServices>(kXmlDomServicesImpl)});
  model.AddClass(ClassDescription{
      kXMLDOMServicesBoss,
      kInvalidClass,
      "kXMLDOMServicesBoss",
      kHostPlugin,
      {{IID_IXMLDOMPARSER, kXmlDomParserImpl}, {IID_IXMLDOMSERVICES, kXmlDomServicesImpl}}});
  model.AddClass(
      ClassDescription{kWorkspaceBoss,
                       kInvalidClass,
                       "kWorkspaceBoss",
                       kHostPlugin,
                       {{IID_IWORKSPACE, kWorkspaceImpl}, {IID_ISUBJECT, kSubjectImpl}}});
  RegisterWidgetClasses(model, kHostPlugin);
}

void Host::Load() {
  if (fLoaded)
    return;
  RemoveStaleTemporaries(fOptions.home);
  fPlugins->LoadFolders(fOptions.pluginFolders);
  fDefaults = fWorkspace->Load();
  SetSessionObjects(fApplication, fOptions.activeContext, fDefaults.get(), kWorkspaceUID);
  fLoaded = true;
}

void Host::Start() {
  if (fStarted)
    return;
  Load();
  fServices->Collect();
  fApplication->Panels().BuildPalettes();
  fStarted = true;
  fServices->RunStartup();
}

Result<void> Host::Shutdown() {
  if (!fStarted)
    return {};
  fApplication->Panels().TearDown();
  fServices->RunShutdown();
  fServices->Clear();
  fApplication->Actions().ReleaseComponents();
  fPlugins->UnloadAll();
  fStarted = false;
  fLoaded = false;
  SetSessionObjects(nullptr, false, nullptr, kInvalidUID);
  return fWorkspace->Save(*fDefaults);
}

void Host::SetUndoLimits(UndoLimits limits) {
  UndoHistory::Instance().SetLimits(limits);
}

std::size_t Host::UndoHistoryBytes(const IDataBase* db) const {
  return UndoHistory::Instance().Bytes(db);
}

std::filesystem::path Host::WorkspaceFile() const {
  return fWorkspace->File();
}

UIDRef Host::Workspace() const {
  return UIDRef(fDefaults.get(), kWorkspaceUID);
}

const std::filesystem::path& Host::SetAsideWorkspace() const {
  return fWorkspace->SetAsideFile();
}

const std::vector<LoadedPlugin>& Host::Plugins() const {
  return fPlugins->Plugins();
}

const std::vector<MenuDeclaration>& Host::Menus() const {
  return fPlugins->Menus();
}

Result<void> Host::PerformAction(ActionID action) {
  InterfacePtr<IActionManager> manager(fApplication->QueryActionManager());
  if (manager->PerformAction(GetExecutionContextSession()->GetActiveContext(), action,
                             kInvalidMousePoint, nullptr))
    return {};
  char id[16];
  std::snprintf(id, sizeof id, "0x%x", action.Get());
  return Failure{std::string("no plug-in performs the action ") + id};
}

bool Host::IsActionKnown(ActionID action) const {
  return fApplication->Actions().IsActionKnown(action);
}

void Host::SendDocumentSignal(ServiceID service, const UIDRef& document) {
  fServices->SendDocumentSignal(service, document);
}

void Host::SetActiveContextAvailable(bool available) {
  SetSessionObjects(fApplication, available, fDefaults.get(), kWorkspaceUID);
}

UIDRef Host::NewDocument(std::int32_t pages, double width, double height) {
  return fDocuments->New(pages, width, height);
}

Result<UIDRef> Host::OpenDocument(const std::filesystem::path& file) {
  return fDocuments->Open(file);
}

Result<void> Host::SaveDocument(const UIDRef& document) {
  return fDocuments->Save(document);
}

Result<void> Host::SaveDocumentAs(const UIDRef& document, const std::filesystem::path& file) {
  return fDocuments->SaveAs(document, file);
}

void Host::CloseDocument(const UIDRef& document) {
  fDocuments->Close(document);
}

void Host::BringToFront(const UIDRef& document) {
  fDocuments->BringToFront(document);
}

UIDRef Host::FrontDocument() const {
  return fDocuments->Front();
}

} // namespace layra
