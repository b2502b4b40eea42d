// A row of the preferences tree passes its events on to the host's standard row handler; a
// double click also expands or collapses the selected rows, and is then handled.

#include "base/ImplementationTable.h"
#include "base/PanelWidgets.h"
#include "prefs/PreferencePanel.h"
#include "prefs/PreferencePanelIDs.h"

#include <layra/IEventHandler.h>
#include <layra/IPanelControlData.h>
#include <layra/ITreeViewMgr.h>

namespace {

// Whether there was a selected row to turn over.
bool ToggleSelectedRows() {
  InterfacePtr<IPanelControlData> panel = PreferencePagePanel();
  if (!panel)
    return false;
  IControlView* tree =
      panel->FindWidget(kCommonPreferencesTreeViewWidgetID, folivox::kWidgetSearchDepth);
  InterfacePtr<ITreeViewMgr> manager(tree, UseDefaultIID());
  InterfacePtr<ITreeViewController> controller(tree, UseDefaultIID());
  if (!manager || !controller)
    return false;
  NodeIDList selected;
  controller->GetSelectedItems(selected);
  for (const NodeID& node : selected) {
    if (manager->IsNodeExpanded(node))
      manager->CollapseNode(node);
    else
      manager->ExpandNode(node);
  }
  return !selected.empty();
}

class KCommonPreferenceTreeViewEventHandler : public CPMUnknown<IEventHandler> {
public:
  explicit KCommonPreferenceTreeViewEventHandler(IPMUnknown* boss)
      : CPMUnknown<IEventHandler>(boss) {}

  bool16 Activate(IEvent* e) override { return Pass(&IEventHandler::Activate, e); }
  bool16 Deactivate(IEvent* e) override { return Pass(&IEventHandler::Deactivate, e); }
  bool16 Suspend(IEvent* e) override { return Pass(&IEventHandler::Suspend, e); }
  bool16 Resume(IEvent* e) override { return Pass(&IEventHandler::Resume, e); }
  bool16 MouseMove(IEvent* e) override { return Pass(&IEventHandler::MouseMove, e); }
  bool16 MouseDrag(IEvent* e) override { return Pass(&IEventHandler::MouseDrag, e); }
  bool16 LButtonDn(IEvent* e) override { return Pass(&IEventHandler::LButtonDn, e); }
  bool16 RButtonDn(IEvent* e) override { return Pass(&IEventHandler::RButtonDn, e); }
  bool16 MButtonDn(IEvent* e) override { return Pass(&IEventHandler::MButtonDn, e); }
  bool16 LButtonUp(IEvent* e) override { return Pass(&IEventHandler::LButtonUp, e); }
  bool16 RButtonUp(IEvent* e) override { return Pass(&IEventHandler::RButtonUp, e); }
  bool16 MButtonUp(IEvent* e) override { return Pass(&IEventHandler::MButtonUp, e); }
  // The standard handler still sees the double click; once the rows are turned over it is
  // handled, so that no handler behind the tree turns them again or acts on it.
  bool16 LDoubleClick(IEvent* e) override {
    const bool toggled = ToggleSelectedRows();
    const bool16 passed = Pass(&IEventHandler::LDoubleClick, e);
    return toggled || passed;
  }
  bool16 KeyDown(IEvent* e) override { return Pass(&IEventHandler::KeyDown, e); }
  bool16 KeyUp(IEvent* e) override { return Pass(&IEventHandler::KeyUp, e); }

private:
  bool16 Pass(bool16 (IEventHandler::*operation)(IEvent*), IEvent* e) const {
    InterfacePtr<IEventHandler> standard(this, IID_IPREFERENCESSHADOWEVENTHANDLER);
    return standard ? ((*standard).*operation)(e) : kFalse;
  }
};

folivox::RegisterImplementation<KCommonPreferenceTreeViewEventHandler>
    gRegisterEventHandler(kCommonPreferenceTreeViewEventHandlerImpl);

} // namespace
