#pragma once
// The application object and the services it hands out.

#include <layra/IActionManager.h>
#include <layra/IActiveContext.h>
#include <layra/IApplication.h>
#include <layra/IDataBase.h>
#include <layra/IPanelMgr.h>
#include <layra/host/PluginResources.h>

#include "../model/RefCounted.h"
#include "../selection/SelectionManager.h"
#include "../ui/PanelManager.h"

#include <map>
#include <optional>

namespace layra {

class ActionManager final : public RefCounted<IActionManager> {
public:
  ~ActionManager() override;
  void Declare(const ActionDeclaration& action) { fActions[action.id] = action; }
  bool PerformAction(IActiveContext* context, ActionID action, GSysPoint mousePoint,
                     IPMUnknown* widget) override;
  bool IsActionKnown(ActionID action) const override { return fActions.count(action) != 0; }
  /** Lets go of the action components, which live as long as the application. */
  void ReleaseComponents();

private:
  std::map<ActionID, ActionDeclaration> fActions;
  std::map<ClassID, IPMUnknown*> fComponents; // referenced bosses
};

class ActiveContext final : public RefCounted<IActiveContext> {
public:
  ActiveContext() : fSelection(new SelectionManager()) {}
  ~ActiveContext() override { fSelection->Release(); }
  IDocument* GetContextDocument() const override { return fDocument; }
  ISelectionManager* GetContextSelection() const override { return fSelection; }
  /** Changing the front document changes the active selection. */
  void SetContextDocument(IDocument* document);

private:
  IDocument* fDocument = nullptr;
  SelectionManager* fSelection;
};

class Application final : public RefCounted<IApplication> {
public:
  Application();
  ~Application() override;
  IActionManager* QueryActionManager() const override;
  IPanelMgr* QueryPanelManager() const override;

  ActionManager& Actions() { return *fActions; }
  PanelManager& Panels() { return *fPanels; }
  ActiveContext& Context() { return *fContext; }

private:
  ActionManager* fActions;
  PanelManager* fPanels;
  ActiveContext* fContext;
};

/** Wires the process-wide session to the running host's objects. */
void SetSessionObjects(Application* application, bool activeContext, IDataBase* defaults,
                       UID workspace);
/** The first implementation the session's registry refused to `plugin` since the last call. */
std::optional<ImplementationID> TakeRefusedImplementation(PluginID plugin);

} // namespace layra
