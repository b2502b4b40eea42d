#include "prefs/KCommonPreferenceDialogController.h"

#include "base/Alerts.h"
#include "base/ImplementationTable.h"
#include "base/PanelWidgets.h"
#include "base/Trace.h"
#include "prefs/ICommonPrefeernceModel.h"
#include "prefs/KCommonPreferenceTypesList.h"
#include "prefs/PreferenceAccess.h"
#include "prefs/PreferenceHooks.h"
#include "prefs/PreferencePanel.h"
#include "prefs/PreferencePanelIDs.h"

#include <layra/CmdUtils.h>
#include <layra/IPanelControlData.h>
#include <layra/ITreeViewMgr.h>

namespace {

folivox::RegisterImplementation<KCommonPreferenceDialogController>
    gRegisterController(kCommonPreferenceDialogControllerImpl);

// The root of the preferences tree: a path no preference or group is named like.
const char* const kPreferencesRootName = "Folivox:Preferences:Root";

// The value a visited row holding `entered` asks to store for `node`'s preference; false when
// it asks to store nothing.
bool ValueToStore(const PnlTrvDataNode& node, const PMString& identifier, const PMString& entered,
                  const ICommonPreferenceData& data, PMString& value) {
  const std::int32_t type = node.GetType();
  if (type == kPreferenceTypeChoice) {
    const auto displays = gPreferenceTypes->GetDisplayChoices(node.GetName());
    const auto values = gPreferenceTypes->GetValueChoices(node.GetName());
    for (std::size_t i = 0; i < displays.size(); ++i) {
      if (displays[i] == entered) {
        if (i >= values.size())
          return false;
        value = values[i];
        return true;
      }
    }
    return false;
  }
  if (!IsTextPreferenceType(type))
    return false;
  value = entered;
  if (!gPreferenceApplyHook)
    return true;
  const std::unique_ptr<PMString> previous = data.GetValue(identifier);
  PMString output;
  switch (gPreferenceApplyHook(identifier, previous ? *previous : PMString(), value, &output)) {
  case kPreferenceHookKeepValue:
    return true;
  case kPreferenceHookUseOutput:
    value = output;
    return true;
  default:
    return false;
  }
}

} // namespace

void KCommonPreferenceTypesList::SetPreference(const PnlTrvDataNode& visited,
                                               const PMString& entered,
                                               ICommonPreferenceData& data) {
  InterfacePtr<IPanelControlData> panel(gPreferencePanelController, UseDefaultIID());
  InterfacePtr<ICommonPrefeernceModel> model(
      panel ? panel->FindWidget(kCommonPreferencesTreeViewWidgetID, folivox::kWidgetSearchDepth)
            : nullptr,
      UseDefaultIID());
  if (!model) {
    folivox::Trace("no model\n");
    return;
  }
  const PnlTrvDataNode* node = model->GetNode(visited.GetName());
  if (!node) {
    folivox::Trace("Node object is nil\n");
    return;
  }
  const PMString& identifier = visited.GetKeyText();
  if (!gPreferenceTypes || !gPreferenceTypes->HasIdentifier(identifier)) {
    folivox::Trace("KCommonPreferenceTypesList::SetPreference: identifier %s does not exist\n",
                   identifier.GrabCString());
    return;
  }
  PMString value;
  if (ValueToStore(*node, identifier, entered, data, value))
    data.SetValue(identifier, value);
}

KCommonPreferenceDialogController::KCommonPreferenceDialogController(IPMUnknown* boss)
    : CDialogController(boss) {
  gPreferencePanelController = this;
}

KCommonPreferenceDialogController::~KCommonPreferenceDialogController() {
  if (gPreferencePanelController == this)
    gPreferencePanelController = nullptr;
}

void KCommonPreferenceDialogController::InitializeDialogFields(IActiveContext* context) {
  CDialogController::InitializeDialogFields(context);
  // The page cannot be built without these: errors the user has to know of.
  folivox::PanelLink missing = folivox::PanelLink::kNone;
  if (!folivox::QueryPanelManager(missing)) {
    return folivox::ShowPlainReport(
        missing == folivox::PanelLink::kApplication
            ? "BrindleActionComponent:doImportFile( ) => application == NULL."
            : "BrindleActionComponent:doImportFile( ) => panelManager == NULL.",
        kErrorIcon);
  }
  InterfacePtr<IPanelControlData> iPanelControlData(this, UseDefaultIID());
  if (!iPanelControlData) {
    return folivox::ShowPlainReport(
        "BrindleActionComponent:doImportFile( ) => iPanelControlData == NULL.", kErrorIcon);
  }

  IControlView* treeView = iPanelControlData->FindWidget(kCommonPreferencesTreeViewWidgetID,
                                                         folivox::kWidgetSearchDepth);
  InterfacePtr<ITreeViewMgr> treeViewMgr(treeView, UseDefaultIID());
  if (!treeViewMgr) {
    folivox::Trace("no tree\n");
    return;
  }
  InterfacePtr<ICommonPrefeernceModel> model(treeView, UseDefaultIID());
  if (!model) {
    folivox::Trace("no model\n");
    return;
  }
  // The rebuild deletes the nodes the current one points into, and shows the stored values,
  // not what was entered the last time the page was shown.
  gCurrentPreferenceNode = nullptr;
  gCurrentPreferenceType = 0;
  gVisitedPreferenceNodes.Clear();
  model->SetRoot(PMString(kPreferencesRootName, PMString::kDontTranslateDuringCall));
  treeViewMgr->ShowRootNode(kFalse);
  treeViewMgr->ChangeRoot(kFalse);

  InterfacePtr<ITreeViewController> iTreeViewCntr(treeView, UseDefaultIID());
  if (!iTreeViewCntr) {
    folivox::Trace("iTreeViewCntr is nil!\n");
    return;
  }
  iTreeViewCntr->DeselectAll(kFalse);

  IControlView* editBox =
      iPanelControlData->FindWidget(kCommonPreferencesEditBoxWidgetID, folivox::kWidgetSearchDepth);
  if (!editBox) {
    folivox::Trace("Element (kCommonPreferencesEditBoxWidgetID) is nil!\n");
    return;
  }
  InterfacePtr<ITextControlData> text(editBox, UseDefaultIID());
  if (!text) {
    folivox::Trace("_textinsertElementTextControlData is nil!\n");
    return;
  }
  ShowNoPreferenceEditor();
}

WidgetID KCommonPreferenceDialogController::ValidateDialogFields(IActiveContext*) {
  return kInvalidWidgetID;
}

// One confirmation is one change of the store: the command carries every stored entry plus
// the values of the visited rows and is processed once, after the last row.
void KCommonPreferenceDialogController::ApplyDialogFields(IActiveContext*, const WidgetID&) {
  InterfacePtr<ICommonPreferenceData> current(GetPrefrenceData());
  InterfacePtr<ICommonPreferenceData> data;
  InterfacePtr<ICommand> command;
  if (!GetPreferecesForWritting(data, command) || !current) {
    folivox::Trace("KCommonPreferenceTypesList::SetPreference exception => %s == nil!\n",
                   "GetPreferecesForWritting( &preferenceData, &command );");
    return;
  }
  if (const KDictionary* stored = current->GetDictionary()) {
    for (const PMString& key : stored->Keys()) {
      if (const std::unique_ptr<PMString> value = current->GetValue(key))
        data->SetValue(key, *value);
    }
  }
  const VisitedPreferenceNodes visited = gVisitedPreferenceNodes;
  for (std::size_t i = 0; i < visited.ids.size(); ++i)
    KCommonPreferenceTypesList::SetPreference(visited.nodes[i], visited.entered[i], *data);
  if (!visited.ids.empty())
    CmdUtils::ProcessCommand(command);
}

void KCommonPreferenceDialogController::ClosingDialog() {
  if (gPreferencesClosedHook)
    gPreferencesClosedHook(this);
}
