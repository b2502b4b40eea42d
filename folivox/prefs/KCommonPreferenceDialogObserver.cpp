// The editors of the preferences page: every change shows at once in the row being edited;
// the browse button puts a chosen folder into the edit box.

#include "base/ImplementationTable.h"
#include "base/PanelWidgets.h"
#include "base/Trace.h"
#include "prefs/PreferenceHooks.h"
#include "prefs/PreferencePanel.h"
#include "prefs/PreferencePanelIDs.h"

#include <layra/CWidgetObserver.h>
#include <layra/FolderChooser.h>
#include <layra/IPanelControlData.h>
#include <layra/ISubject.h>
#include <layra/ITextControlData.h>

#include <cstdio>
#include <optional>

namespace {

/** The host's folder dialog; a choice counts only when exactly one folder comes back. */
std::optional<PMString> SDKFolderChooser() {
  const std::vector<IDFile> folders = FolderChooser::Choose(PMString("Choose a Folder"));
  if (folders.size() != 1)
    return std::nullopt;
  return PMString(folders.front().GetPath().string(), PMString::kDontTranslateDuringCall);
}

// Stops at the first missing link, after naming it on stdout.
bool PutIntoEditBox(const PMString& path) {
  InterfacePtr<IPanelControlData> panel = PreferencePagePanel();
  if (!panel)
    return false;
  IControlView* view =
      panel->FindWidget(kCommonPreferencesEditBoxWidgetID, folivox::kWidgetSearchDepth);
  if (!view) {
    folivox::Trace("view is nil!\n");
    return false;
  }
  InterfacePtr<ITextControlData> textControlData(view, UseDefaultIID());
  if (!textControlData) {
    folivox::Trace("textControlData is nil!\n");
    return false;
  }
  textControlData->SetString(path, kTrue, kFalse);
  return true;
}

// The rows as typed, not yet stored: the test is of what OK would store.
void TestConnection() {
  if (!gPreferenceTestHook)
    return;
  std::vector<std::pair<PMString, PMString>> rows;
  for (std::size_t i = 0; i < gVisitedPreferenceNodes.nodes.size(); ++i)
    rows.emplace_back(gVisitedPreferenceNodes.nodes[i].GetKeyText(),
                      gVisitedPreferenceNodes.entered[i]);
  gPreferenceTestHook(rows);
}

class KCommonPreferenceDialogObserver : public CWidgetObserver {
public:
  explicit KCommonPreferenceDialogObserver(IPMUnknown* boss) : CWidgetObserver(boss) {}

  void AutoAttach() override {
    for (auto [widget, protocol] : kWatched)
      AttachToWidget(widget, protocol);
  }
  void AutoDetach() override {
    for (auto [widget, protocol] : kWatched)
      DetachFromWidget(widget, protocol);
  }

  void Update(const ClassID& change, ISubject* subject, const PMIID&, void*) override {
    InterfacePtr<IControlView> view(subject, UseDefaultIID());
    const WidgetID widget = view ? view->GetWidgetID() : kInvalidWidgetID;
    if (widget == kCommonPreferencesTestButtonWidgetID && change == kTrueStateMessage) {
      TestConnection();
      return;
    }
    if (widget == kCommonPreferencesBrowseButtonWidgetID && change == kTrueStateMessage) {
      const std::optional<PMString> folder = SDKFolderChooser();
      if (folder && PutIntoEditBox(*folder))
        ShowEditedValueInTree();
      return;
    }
    const bool edited = widget == kCommonPreferencesEditBoxWidgetID &&
                        (change == kTrueStateMessage || change == kTextChangeStateMessage);
    const bool chosen =
        widget == kCommonPreferencesComboBoxWidgetID && change == kPopupChangeStateMessage;
    if (edited || chosen)
      ShowEditedValueInTree();
  }

private:
  static constexpr std::pair<WidgetID, PMIID> kWatched[] = {
      {kCommonPreferencesComboBoxWidgetID, IID_ISTRINGLISTCONTROLDATA},
      {kCommonPreferencesEditBoxWidgetID, IID_ITEXTCONTROLDATA},
      {kCommonPreferencesBrowseButtonWidgetID, IID_IBUTTONDATA},
      {kCommonPreferencesTestButtonWidgetID, IID_IBUTTONDATA}};
};

folivox::RegisterImplementation<KCommonPreferenceDialogObserver>
    gRegisterDialogObserver(kCommonPreferenceDialogObserverImpl);

} // namespace
