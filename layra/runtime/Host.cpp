#include <layra/host/Host.h>

#include "Application.h"
#include "AtomicFile.h"
#include "DataBaseFile.h"
#include "DocumentFile.h"
#include "Documents.h"
#include "HostServices.h"
#include "ImageReading.h"
#include "StringTables.h"
#include "Subject.h"
#include "UndoHistory.h"
#include "XmlDomServices.h"
#include "ui/Widgets.h"

#include <layra/IImageReading.h>
#include <layra/IObjectModel.h>
#include <layra/IResponder.h>
#include <layra/ISession.h>
#include <layra/IStartupShutdownService.h>
#include <layra/IXMLDOM.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <stdexcept>

namespace layra {
namespace {

constexpr PluginID kHostPlugin{1};
constexpr UID kWorkspaceUID = 1;
constexpr const char* kWorkspaceFileName = "workspace.lydb";

Host* gCurrentHost = nullptr;

template <class Impl> ImplementationRecord HostRecord(ImplementationID id) {
  return ImplementationRecord{id, &CreateImplementation<Impl>, &DestroyImplementation<Impl>,
                              &SizeOfImplementation<Impl>};
}

} // namespace

Host::Host(HostOptions options) : fOptions(std::move(options)) {
  // The object model and the string tables belong to the process; a second host would
  // clear them under the first one.
  if (gCurrentHost)
    throw std::logic_error("another layra::Host is still running in this process");
  gCurrentHost = this;
  ObjectModel::Instance().Clear();
  StringTables::Instance().Clear();
  StringTables::Instance().SetLocale(fOptions.locale);
  Alerts::Instance().SetPolicy(fOptions.alertAnswer);
  RegisterHostClasses();
  fDefaults = std::make_unique<DataBase>();
  fApplication = new Application();
}

Host::~Host() {
  if (fStarted)
    Shutdown();
  fApplication->Panels().TearDown();
  fApplication->Context().SetContextDocument(nullptr);
  fDocuments.clear();
  SetSessionObjects(nullptr, false, nullptr, kInvalidUID);
  fApplication->Actions().ReleaseComponents();
  UndoHistory::Instance().ForgetAll();
  fDefaults.reset();
  fApplication->Release();
  ObjectModel::Instance().Clear();
  StringTables::Instance().Clear();
  gCurrentHost = nullptr;
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
  model.RegisterImplementation(kHostPlugin, HostRecord<WorkspaceImpl>(kWorkspaceImpl));
  model.RegisterImplementation(kHostPlugin, HostRecord<Subject>(kSubjectImpl));
  model.RegisterImplementation(kHostPlugin,
                               HostRecord<StartupShutdownProvider>(kStartupShutdownProviderImpl));
  model.RegisterImplementation(kHostPlugin,
                               HostRecord<PanelServiceProvider>(kPanelServiceProviderImpl));
  RegisterDocumentClasses(model, kHostPlugin);
  model.RegisterImplementation(kHostPlugin,
                               HostRecord<ImageFormatManager>(kImageFormatManagerImpl));
  model.RegisterImplementation(kHostPlugin, HostRecord<ImageAttributes>(kImageAttributesImpl));
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
  model.RegisterImplementation(kHostPlugin, HostRecord<XmlDomParser>(kXmlDomParserImpl));
  model.RegisterImplementation(kHostPlugin, HostRecord<XmlDomServices>(kXmlDomServicesImpl));
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

void Host::Start() {
  if (fStarted)
    return;
  LoadPlugins();
  LoadWorkspace();
  SetSessionObjects(fApplication, fOptions.activeContext, fDefaults.get(), kWorkspaceUID);
  RegisterServices();
  fApplication->Panels().BuildPalettes();
  fStarted = true;
  for (IPMUnknown* provider : ProvidersOf(kStartupShutdownService)) {
    InterfacePtr<IStartupShutdownService> service(provider, UseDefaultIID());
    if (service)
      service->Startup();
  }
}

bool Host::Shutdown(std::string* error) {
  if (!fStarted)
    return true;
  fApplication->Panels().TearDown();
  for (IPMUnknown* provider : ProvidersOf(kStartupShutdownService)) {
    InterfacePtr<IStartupShutdownService> service(provider, UseDefaultIID());
    if (service)
      service->Shutdown();
  }
  for (auto& [service, provider] : fServices)
    provider->Release();
  fServices.clear();
  fApplication->Actions().ReleaseComponents();
  for (LoadedPlugin& plugin : fPlugins)
    plugin.plugIn->Unload();
  fStarted = false;
  SetSessionObjects(nullptr, false, nullptr, kInvalidUID);

  std::error_code ignored;
  std::filesystem::create_directories(fOptions.home, ignored);
  std::string reason;
  if (WriteFileAtomically(WorkspaceFile(), EncodeDataBase(*fDefaults), &reason)) {
    fDefaults->SetModified(false);
    return true;
  }
  std::fprintf(stderr, "layra: the workspace was not saved: %s\n", reason.c_str());
  if (error)
    *error = reason;
  return false;
}

std::filesystem::path Host::WorkspaceFile() const {
  return fOptions.home / kWorkspaceFileName;
}

UIDRef Host::Workspace() const {
  return UIDRef(fDefaults.get(), kWorkspaceUID);
}

void Host::LoadWorkspace() {
  const std::filesystem::path file = WorkspaceFile();
  std::vector<StoredObject> objects;
  std::string bytes, reason;
  UID root = kInvalidUID;
  std::error_code missing;
  const bool exists = std::filesystem::exists(file, missing);
  if (exists && ReadWholeFile(file, bytes, &reason) &&
      DecodeDataBase(bytes, root, objects, reason)) {
    std::vector<std::string> problems;
    if (!fDefaults->Import(objects, problems))
      reason = problems.front();
    else
      reason.clear();
  }
  if (exists && !reason.empty()) {
    fSetAside = SetAside(file);
    std::fprintf(stderr,
                 "layra: the workspace file %s is unreadable (%s); it was kept as %s and the "
                 "host starts with empty defaults\n",
                 file.c_str(), reason.c_str(), fSetAside.c_str());
    fDefaults = std::make_unique<DataBase>();
  }
  if (fDefaults->GetClass(kWorkspaceUID) == kInvalidClass)
    fDefaults->CreateWithUID(kWorkspaceUID, kWorkspaceBoss);
  fDefaults->SetRootUID(kWorkspaceUID);
  fDefaults->SetSysFile(IDFile(file));
  fDefaults->SetModified(false);
}

void Host::LoadPlugins() {
  for (const std::filesystem::path& folder : fOptions.pluginFolders) {
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
      LoadPlugin(library);
  }
}

bool Host::LoadPlugin(const std::filesystem::path& library) {
  // Plug-ins are never unloaded: their threads and objects may outlive shut-down.
  void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "layra: cannot load plug-in %s: %s\n", library.c_str(), ::dlerror());
    return false;
  }
  auto entry = reinterpret_cast<GetPlugInFunction>(::dlsym(handle, "GetPlugIn"));
  IPlugIn* plugIn = entry ? entry() : nullptr;
  if (!plugIn || !plugIn->CanLoad()) {
    std::fprintf(stderr, "layra: %s is not a plug-in (no GetPlugIn)\n", library.c_str());
    return false;
  }
  LoadedPlugin loaded{library, plugIn, {}};
  std::map<std::string, std::string> files;
  std::string error;
  if (!ReadResourceArchive(plugIn->GetResourceFile(), files, error) ||
      !ParseResources(files, loaded.resources, error)) {
    std::fprintf(stderr, "layra: cannot read the resources of %s: %s\n", library.c_str(),
                 error.c_str());
    return false;
  }
  plugIn->SetPluginID(loaded.resources.id);
  plugIn->RegisterImplementations(loaded.resources.id);
  plugIn->Load();
  Install(loaded.resources);
  fPlugins.push_back(std::move(loaded));
  return true;
}

void Host::Install(const PluginResources& resources) {
  ObjectModel& model = ObjectModel::Instance();
  for (const ClassDescription& description : resources.classes)
    model.AddClass(description);
  for (const auto& [target, binding] : resources.addIns)
    model.AddInterfaceToClass(target, binding, resources.id);
  for (const ActionDeclaration& action : resources.actions)
    fApplication->Actions().Declare(action);
  for (const PanelDeclaration& panel : resources.panels)
    fApplication->Panels().Declare(panel);
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

void Host::RegisterServices() {
  for (ClassID provider : ObjectModel::Instance().ClassesWithInterface(IID_IK2SERVICEPROVIDER)) {
    InterfacePtr<IK2ServiceProvider> service(
        static_cast<IK2ServiceProvider*>(CreateObject(provider, IID_IK2SERVICEPROVIDER)));
    if (!service)
      continue;
    std::vector<ServiceID> ids;
    if (service->HasMultipleIDs())
      service->GetServiceIDs(ids);
    else
      ids.push_back(service->GetServiceID());
    for (ServiceID id : ids) {
      service->AddRef();
      fServices.emplace_back(id, service.get());
    }
  }
}

std::vector<IPMUnknown*> Host::ProvidersOf(ServiceID service) const {
  std::vector<IPMUnknown*> providers;
  for (const auto& [id, provider] : fServices) {
    if (id == service)
      providers.push_back(provider);
  }
  return providers;
}

bool Host::PerformAction(ActionID action) {
  InterfacePtr<IActionManager> manager(fApplication->QueryActionManager());
  return manager->PerformAction(GetExecutionContextSession()->GetActiveContext(), action,
                                kInvalidMousePoint, nullptr);
}

bool Host::IsActionKnown(ActionID action) const {
  return fApplication->Actions().IsActionKnown(action);
}

void Host::SendDocumentSignal(ServiceID service, const UIDRef& document) {
  InterfacePtr<ISignalMgr> signal(new DocumentSignal(service, document));
  for (IPMUnknown* provider : ProvidersOf(service)) {
    InterfacePtr<IResponder> responder(provider, UseDefaultIID());
    if (responder)
      responder->Respond(signal);
  }
}

void Host::SetActiveContextAvailable(bool available) {
  SetSessionObjects(fApplication, available, fDefaults.get(), kWorkspaceUID);
}

} // namespace layra

namespace layra {

UIDRef Host::Adopt(std::unique_ptr<DataBase> document) {
  const UIDRef ref(document.get(), document->GetRootUID());
  fDocuments.push_back(std::move(document));
  UpdateFrontDocument();
  return ref;
}

void Host::UpdateFrontDocument() {
  IDocument* front = nullptr;
  if (!fDocuments.empty()) {
    DataBase& db = *fDocuments.back();
    InterfacePtr<IDocument> document(
        static_cast<IDocument*>(db.Instantiate(db.GetRootUID(), IID_IDOCUMENT)));
    front = document.get(); // the database keeps it alive
  }
  fApplication->Context().SetContextDocument(front);
}

UIDRef Host::NewDocument(std::int32_t pages, double width, double height) {
  auto db = NewDocumentDataBase(pages, width, height);
  InterfacePtr<IDocument> document(
      static_cast<IDocument*>(db->Instantiate(db->GetRootUID(), IID_IDOCUMENT)));
  HostImplementation<DocumentImpl>(document.get())
      ->SetName("Untitled-" + std::to_string(++fUntitledCount));
  return Adopt(std::move(db));
}

UIDRef Host::OpenDocument(const std::filesystem::path& file, std::string* error) {
  std::string reason;
  auto db = ReadDocumentFile(file, reason);
  if (!db) {
    if (error)
      *error = reason;
    return UIDRef();
  }
  InterfacePtr<IDocument> document(
      static_cast<IDocument*>(db->Instantiate(db->GetRootUID(), IID_IDOCUMENT)));
  HostImplementation<DocumentImpl>(document.get())->SetName(file.filename().string());
  HostImplementation<DocumentImpl>(document.get())->SetFile(IDFile(file));
  const UIDRef ref = Adopt(std::move(db));
  SendDocumentSignal(kAfterOpenDocSignalResponderService, ref);
  return ref;
}

bool Host::Write(const UIDRef& document, const std::filesystem::path& file, std::string* error) {
  auto owner = std::find_if(fDocuments.begin(), fDocuments.end(),
                            [&](const auto& db) { return db.get() == document.GetDataBase(); });
  if (owner == fDocuments.end()) {
    if (error)
      *error = "the document is not open";
    return false;
  }
  std::string reason;
  if (!WriteDocumentFile(**owner, file, reason)) {
    if (error)
      *error = reason;
    return false;
  }
  (*owner)->SetModified(false);
  return true;
}

bool Host::SaveDocument(const UIDRef& document, std::string* error) {
  InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
  if (!doc || doc->GetFile().IsEmpty()) {
    if (error)
      *error = "the document has no file yet; save it under a name";
    return false;
  }
  SendDocumentSignal(kBeforeSaveDocSignalResponderService, document);
  if (!Write(document, doc->GetFile().GetPath(), error))
    return false;
  SendDocumentSignal(kAfterSaveDocSignalResponderService, document);
  return true;
}

bool Host::SaveDocumentAs(const UIDRef& document, const std::filesystem::path& file,
                          std::string* error) {
  InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
  if (!doc) {
    if (error)
      *error = "the document is not open";
    return false;
  }
  SendDocumentSignal(kBeforeSaveAsDocSignalResponderService, document);
  if (!Write(document, file, error))
    return false;
  HostImplementation<DocumentImpl>(doc.get())->SetName(file.filename().string());
  HostImplementation<DocumentImpl>(doc.get())->SetFile(IDFile(file));
  SendDocumentSignal(kAfterSaveAsDocSignalResponderService, document);
  return true;
}

void Host::CloseDocument(const UIDRef& document) {
  auto owner = std::find_if(fDocuments.begin(), fDocuments.end(),
                            [&](const auto& db) { return db.get() == document.GetDataBase(); });
  if (owner == fDocuments.end())
    return;
  SendDocumentSignal(kBeforeCloseDocSignalResponderService, document);
  fApplication->Context().SetContextDocument(nullptr);
  fDocuments.erase(owner);
  UpdateFrontDocument();
  SendDocumentSignal(kAfterCloseDocSignalResponderService, UIDRef());
}

void Host::BringToFront(const UIDRef& document) {
  auto owner = std::find_if(fDocuments.begin(), fDocuments.end(),
                            [&](const auto& db) { return db.get() == document.GetDataBase(); });
  if (owner == fDocuments.end() || owner + 1 == fDocuments.end())
    return;
  std::rotate(owner, owner + 1, fDocuments.end());
  UpdateFrontDocument();
}

UIDRef Host::FrontDocument() const {
  if (fDocuments.empty())
    return UIDRef();
  return UIDRef(fDocuments.back().get(), fDocuments.back()->GetRootUID());
}

} // namespace layra
