// Selecting a row of the preferences tree shows its editors and remembers the row, so that
// confirming the dialog writes what the row then holds; with no row selected the editors
// take no typing.

#include "base/Alerts.h"
#include "base/ImplementationTable.h"
#include "base/Trace.h"
#include "prefs/ICommonPrefeernceModel.h"
#include "prefs/PnlTrvFileNodeID.h"
#include "prefs/PreferencePanel.h"
#include "prefs/PreferencePanelIDs.h"

#include <layra/CObserver.h>
#include <layra/IControlView.h>
#include <layra/ISubject.h>
#include <layra/ITreeViewMgr.h>

namespace {

class KCommonPreferencesNodeObserverImpl : public CObserver {
public:
  explicit KCommonPreferencesNodeObserverImpl(IPMUnknown* boss) : CObserver(boss) {}

  void AutoAttach() override {
    gVisitedPreferenceNodes.Clear();
    InterfacePtr<ISubject> tree(this, UseDefaultIID());
    if (tree && !tree->IsAttached(this, IID_ITREEVIEWCONTROLLER))
      tree->AttachObserver(this, IID_ITREEVIEWCONTROLLER);
  }
  void AutoDetach() override {
    InterfacePtr<ISubject> tree(this, UseDefaultIID());
    if (tree && tree->IsAttached(this, IID_ITREEVIEWCONTROLLER))
      tree->DetachObserver(this, IID_ITREEVIEWCONTROLLER);
  }

  void Update(const ClassID&, ISubject* subject, const PMIID&, void*) override {
    InterfacePtr<IControlView> view(subject, UseDefaultIID());
    if (!view || view->GetWidgetID() != kCommonPreferencesTreeViewWidgetID)
      return;
    InterfacePtr<ITreeViewController> controller(subject, UseDefaultIID());
    if (!controller) {
      folivox::ShowPlainReport("Blad", kErrorIcon);
      return;
    }
    InterfacePtr<ICommonPrefeernceModel> model(this, UseDefaultIID());
    if (!model) {
      folivox::Trace("model is nil!\n");
      return;
    }
    NodeIDList selected;
    controller->GetSelectedItems(selected);
    for (const NodeID& nodeID : selected) {
      if (ShowSelected(*model, nodeID))
        return;
    }
    ShowNoPreferenceEditor();
  }

private:
  // False when the row could not be shown and the next selected one is to be tried.
  static bool ShowSelected(const ICommonPrefeernceModel& model, const NodeID& nodeID) {
    TreeNodePtr<PnlTrvFileNodeID> ours(nodeID);
    if (!ours) {
      folivox::Trace("TreeNodePtr<PnlTrvFileNodeID> _node( (NodeID) *iter ); is nil!\n");
      return false;
    }
    InterfacePtr<ITextControlData> key = FindRowText(nodeID, RowText::kKey);
    if (!key)
      return false;
    PnlTrvDataNode* node = model.GetNode(key->GetString());
    if (!node) {
      folivox::Trace("GetNode returned nil!\n");
      return false;
    }
    ShowPreferenceEditors(node, nodeID);
    gCurrentPreferenceNodeID = nodeID;
    // Until the user edits it, the row holds what it shows.
    InterfacePtr<ITextControlData> shown = FindRowText(nodeID, RowText::kValue);
    gVisitedPreferenceNodes.Add(nodeID, *node, shown ? shown->GetString() : PMString());
    return true;
  }
};

folivox::RegisterImplementation<KCommonPreferencesNodeObserverImpl>
    gRegisterNodeObserver(kCommonPreferencesNodeObserverImpl);

} // namespace
