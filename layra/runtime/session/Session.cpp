#include "Application.h"

#include <layra/IActionComponent.h>
#include <layra/IDataBase.h>
#include <layra/IImplementationRegistry.h>
#include <layra/IObjectModel.h>
#include <layra/ISession.h>
#include <layra/ISubject.h>
#include <layra/UtilsBoss.h>

#include <layra/host/Host.h>
#include <layra/host/ObjectModel.h>
#include <map>
#include <optional>

namespace layra {
namespace {

class ObjectModelService final : public SiblingInterface<IObjectModel> {
public:
  using SiblingInterface::SiblingInterface;
  IPMUnknown* CreateInstance(ClassID classID, PMIID iid) override {
    return CreateObject(classID, iid);
  }
  bool IsClassKnown(ClassID classID) const override {
    return ObjectModel::Instance().IsClassKnown(classID);
  }
};

class ImplementationUtils final : public RefCounted<IImplementationUtils> {
public:
  bool IsImplementationRegistered(ImplementationID id) const override {
    return ObjectModel::Instance().FindImplementation(id) != nullptr;
  }
  PluginID GetPluginOf(ImplementationID id) const override {
    const RegisteredImplementation* found = ObjectModel::Instance().FindImplementation(id);
    return found ? found->plugin : kInvalidPlugin;
  }
  std::int32_t CountImplementations() const override {
    return ObjectModel::Instance().CountImplementations();
  }
  // Every object of a database stays loaded while the database is open, so the host
  // only keeps the mark for whoever asks.
  void SetImplementationResident(ImplementationID id, bool resident) override {
    if (Host* host = Host::Current())
      host->AddResidentMark({id, resident});
  }
};

class BroadcastUtils final : public RefCounted<IBroadcastUtils> {
public:
  void BroadcastModelChange(IDataBase* db, ClassID change, PMIID protocol,
                            void* changedBy) override {
    InterfacePtr<ISubject> root(
        db ? static_cast<ISubject*>(db->Instantiate(db->GetRootUID(), IID_ISUBJECT)) : nullptr);
    if (root)
      root->ModelChange(change, protocol, changedBy);
  }
};

class ImplementationRegistry final : public SiblingInterface<IImplementationRegistry> {
public:
  using SiblingInterface::SiblingInterface;
  bool RegisterImplementation(PluginID plugin, ImplementationID id,
                              ImplementationRecord::CreateFunction create,
                              ImplementationRecord::DestroyFunction destroy,
                              ImplementationRecord::SizeFunction size,
                              ImplementationRecord::PersistFunction persist, const void* reserved,
                              std::int32_t reservedFlags) override {
    const ImplementationRecord record{id, create, destroy, size, persist, reserved, reservedFlags};
    if (ObjectModel::Instance().RegisterImplementation(plugin, record))
      return true;
    fRefused.emplace(plugin, id);
    return false;
  }

  std::optional<ImplementationID> TakeRefused(PluginID plugin) {
    const auto found = fRefused.find(plugin);
    if (found == fRefused.end())
      return std::nullopt;
    const ImplementationID id = found->second;
    fRefused.erase(found);
    return id;
  }

private:
  // The first refusal of each plug-in, kept for the loader to name in the plug-in's failure.
  std::map<PluginID, ImplementationID> fRefused;
};

class Session final : public RefCounted<ISession> {
public:
  IApplication* QueryApplication() const override {
    if (fApplication)
      fApplication->AddRef();
    return fApplication;
  }
  IActiveContext* GetActiveContext() const override {
    return fApplication && fHasContext ? &fApplication->Context() : nullptr;
  }
  IPMUnknown* QueryWorkspace() const override {
    return fDefaults ? fDefaults->Instantiate(fWorkspace, IID_IUNKNOWN) : nullptr;
  }

  void Set(Application* application, bool activeContext, IDataBase* defaults, UID workspace) {
    fApplication = application;
    fHasContext = activeContext;
    fDefaults = defaults;
    fWorkspace = workspace;
  }
  ImplementationRegistry& Registry() { return fRegistry; }

protected:
  IPMUnknown* FindInterface(PMIID iid) const override {
    if (iid == IID_IOBJECTMODEL)
      return &fObjectModel;
    if (iid == IID_IIMPLEMENTATIONREGISTRY)
      return &fRegistry;
    return RefCounted<ISession>::FindInterface(iid);
  }

private:
  Application* fApplication = nullptr;
  bool fHasContext = false;
  IDataBase* fDefaults = nullptr;
  UID fWorkspace = kInvalidUID;
  mutable ObjectModelService fObjectModel{*this};
  mutable ImplementationRegistry fRegistry{*this};
};

Session& TheSession() {
  static Session* session = new Session(); // lives as long as the process
  return *session;
}

} // namespace

void SetSessionObjects(Application* application, bool activeContext, IDataBase* defaults,
                       UID workspace) {
  TheSession().Set(application, activeContext, defaults, workspace);
}

std::optional<ImplementationID> TakeRefusedImplementation(PluginID plugin) {
  return TheSession().Registry().TakeRefused(plugin);
}

ActionManager::~ActionManager() {
  ReleaseComponents();
}

bool ActionManager::PerformAction(IActiveContext* context, ActionID action, GSysPoint mousePoint,
                                  IPMUnknown* widget) {
  auto declared = fActions.find(action);
  if (declared == fActions.end())
    return false;
  const ClassID owner = declared->second.owner;
  auto component = fComponents.find(owner);
  if (component == fComponents.end()) {
    IPMUnknown* boss = CreateObject(owner, IID_IUNKNOWN);
    if (!boss)
      return false;
    component = fComponents.emplace(owner, boss).first;
  }
  InterfacePtr<IActionComponent> handler(component->second, UseDefaultIID());
  if (!handler)
    return false;
  handler->DoAction(context, action, mousePoint, widget);
  return true;
}

void ActionManager::ReleaseComponents() {
  for (auto& [owner, boss] : fComponents)
    boss->Release();
  fComponents.clear();
}

void ActiveContext::SetContextDocument(IDocument* document) {
  if (fDocument == document)
    return;
  fDocument = document;
  fSelection->SetDocument(document);
  ActiveSelectionChanged();
}

Application::Application()
    : fActions(new ActionManager()), fPanels(new PanelManager()), fContext(new ActiveContext()) {}

Application::~Application() {
  fActions->Release();
  fPanels->Release();
  fContext->Release();
}

IActionManager* Application::QueryActionManager() const {
  fActions->AddRef();
  return fActions;
}

IPanelMgr* Application::QueryPanelManager() const {
  fPanels->AddRef();
  return fPanels;
}

} // namespace layra

ISession* GetExecutionContextSession() {
  return &layra::TheSession();
}

namespace UtilsBoss {
IPMUnknown* QueryUtils(PMIID iid) {
  if (iid == IID_IIMPLEMENTATIONUTILS)
    return new layra::ImplementationUtils();
  if (iid == IID_IBROADCASTUTILS)
    return new layra::BroadcastUtils();
  return nullptr;
}
} // namespace UtilsBoss
