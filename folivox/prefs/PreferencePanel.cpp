#include "prefs/PreferencePanel.h"

#include "base/PanelWidgets.h"
#include "base/Trace.h"
#include "prefs/KCommonPreferenceDialogController.h"
#include "prefs/KCommonPreferenceTypesList.h"
#include "prefs/PreferenceHooks.h"
#include "prefs/PreferencePanelIDs.h"

#include <layra/IControlView.h>
#include <layra/IPanelControlData.h>
#include <layra/IStringListControlData.h>
#include <layra/ITreeViewMgr.h>

#include <algorithm>

KCommonPreferenceDialogController* gPreferencePanelController = nullptr;
PnlTrvDataNode* gCurrentPreferenceNode = nullptr;
std::int32_t gCurrentPreferenceType = 0;
NodeID gCurrentPreferenceNodeID;
VisitedPreferenceNodes gVisitedPreferenceNodes;

void VisitedPreferenceNodes::Add(const NodeID& id, const PnlTrvDataNode& node,
                                 const PMString& shown) {
  if (IndexOf(id))
    return;
  ids.push_back(id);
  nodes.push_back(node);
  entered.push_back(shown);
}

std::optional<std::size_t> VisitedPreferenceNodes::IndexOf(const NodeID& id) const {
  const auto found = std::find(ids.begin(), ids.end(), id);
  if (found == ids.end())
    return std::nullopt;
  return static_cast<std::size_t>(found - ids.begin());
}

PMString* VisitedPreferenceNodes::EnteredFor(const NodeID& id) {
  const std::optional<std::size_t> at = IndexOf(id);
  return at ? &entered[*at] : nullptr;
}

namespace {

// What a failing step returns: an empty result of whatever kind the caller expects.
struct Nothing {
  template <class T> operator InterfacePtr<T>() const { return {}; }
  template <class T> operator std::unique_ptr<T>() const { return nullptr; }
};

// Reports the missing link on stdout, once, where it is found.
Nothing Report(const char* line) {
  folivox::Trace("%s", line);
  return {};
}

PMString Shown(const PMString& text) {
  PMString shown(text);
  shown.SetTranslatable(false);
  return shown;
}

template <class Interface>
InterfacePtr<Interface> PageWidget(const IPanelControlData& panel, WidgetID id) {
  return InterfacePtr<Interface>(panel.FindWidget(id, folivox::kWidgetSearchDepth),
                                 UseDefaultIID());
}

// (display hook) -> the text it shows instead, when it asks for one.
bool DisplayHookRewrites(const PMString& identifier, const PMString& value, PMString& shown) {
  if (!gPreferenceDisplayHook)
    return false;
  PMString output;
  if (gPreferenceDisplayHook(identifier, value, &output) != kPreferenceHookUseOutput)
    return false;
  shown = output;
  return true;
}

constexpr WidgetID kEditors[] = {kCommonPreferencesEditBoxWidgetID,
                                 kCommonPreferencesComboBoxWidgetID,
                                 kCommonPreferencesBrowseButtonWidgetID};

// Hidden, and enabled or not for when they are shown again.
void HideEditors(const IPanelControlData& panel, bool enabled) {
  for (WidgetID id : kEditors) {
    if (IControlView* editor = panel.FindWidget(id, folivox::kWidgetSearchDepth)) {
      editor->Hide();
      editor->Enable(enabled);
    }
  }
}

// Whether `text`, edited for the preference of `identifier`, holds a secret in clear. Without
// a hook to tell, whatever the display hook would mask counts as one.
bool ShowsSecret(const PMString& identifier, const PMString& text) {
  if (gPreferenceSecretHook) {
    const std::unique_ptr<PMString> stored = KCommonPreferenceTypesList::GetPreference(identifier);
    return gPreferenceSecretHook(identifier, stored ? *stored : PMString(), text);
  }
  PMString masked;
  return DisplayHookRewrites(identifier, text, masked) && !(masked == text);
}

// Whether `value`, entered for the preference of `node`, is a secret typed in clear.
bool EnteredSecret(const PnlTrvDataNode& node, const PMString& value) {
  return IsTextPreferenceType(node.GetType()) && ShowsSecret(node.GetKeyText(), value);
}

// The edit box starts from what the user last entered in the row, which is the row's masked
// text until they type. It shows bullets only while it holds a secret typed in clear, so that
// the rest of the value can be read and checked.
void ShowEditBox(const IPanelControlData& panel, const PnlTrvDataNode& node,
                 const PMString& entered) {
  IControlView* editBox =
      panel.FindWidget(kCommonPreferencesEditBoxWidgetID, folivox::kWidgetSearchDepth);
  InterfacePtr<ITextControlData> text(editBox, UseDefaultIID());
  if (!text)
    return;
  editBox->Show();
  text->SetPassword(ShowsSecret(node.GetKeyText(), entered));
  text->SetString(Shown(entered), kTrue, kFalse);
}

// What the row shows for an edited value. A value without a secret in clear is shown as it
// was entered: masking it again would mask the masked text a second time. A secret the display
// hook cannot mask yet (half typed) is not shown at all.
PMString ShownInRow(const PMString& identifier, const PMString& value, bool secret) {
  PMString masked;
  if (!secret)
    return value;
  if (DisplayHookRewrites(identifier, value, masked) && !(masked == value))
    return masked;
  std::string bullets;
  for (std::int32_t i = 0; i < value.CharCount(); ++i)
    bullets += "\xE2\x80\xA2";
  return PMString(bullets, PMString::kDontTranslateDuringCall);
}

void SetEditBoxPassword(bool password) {
  InterfacePtr<IPanelControlData> panel = PreferencePagePanel();
  InterfacePtr<ITextControlData> text(
      panel ? panel->FindWidget(kCommonPreferencesEditBoxWidgetID, folivox::kWidgetSearchDepth)
            : nullptr,
      UseDefaultIID());
  if (text)
    text->SetPassword(password);
}

void ShowComboBox(const IPanelControlData& panel, const PnlTrvDataNode& node,
                  const PMString& entered) {
  IControlView* combo =
      panel.FindWidget(kCommonPreferencesComboBoxWidgetID, folivox::kWidgetSearchDepth);
  InterfacePtr<IStringListControlData> list(combo, UseDefaultIID());
  InterfacePtr<IDropDownListController> choice(combo, UseDefaultIID());
  if (!list || !choice)
    return;
  combo->Show();
  list->Clear(kFalse, kFalse);
  const std::vector<PMString> choices = gPreferenceTypes
                                            ? gPreferenceTypes->GetDisplayChoices(node.GetKeyText())
                                            : std::vector<PMString>{};
  for (const PMString& display : choices)
    list->AddString(Shown(display), -1, kFalse, kFalse);
  const std::int32_t index = list->GetIndex(entered);
  if (index >= 0)
    choice->Select(index, kTrue, kFalse);
  combo->Invalidate();
}

std::unique_ptr<PMString> ChosenDisplayText(const IPanelControlData& panel) {
  IControlView* combo =
      panel.FindWidget(kCommonPreferencesComboBoxWidgetID, folivox::kWidgetSearchDepth);
  if (!combo)
    return Report("Element (kCommonPreferencesComboBoxWidgetID) is nil!\n");
  InterfacePtr<IStringListControlData> list(combo, UseDefaultIID());
  if (!list)
    return Report("iStringControlData is nil!\n");
  InterfacePtr<IDropDownListController> choice(combo, UseDefaultIID());
  if (!choice)
    return Report("iDropDownListController is nil!\n");
  if (!gCurrentPreferenceNode || !gPreferenceTypes)
    return nullptr;
  const std::int32_t chosen = choice->GetSelected();
  const auto values = gPreferenceTypes->GetValueChoices(gCurrentPreferenceNode->GetName());
  if (chosen < 0 || chosen >= static_cast<std::int32_t>(values.size()))
    return nullptr;
  return std::make_unique<PMString>(list->GetString(chosen));
}

} // namespace

InterfacePtr<IPanelControlData> PreferencePagePanel() {
  folivox::PanelLink missing = folivox::PanelLink::kNone;
  if (!folivox::QueryPanelManager(missing))
    return Report(missing == folivox::PanelLink::kApplication ? "Application is nil!\n"
                                                              : "panelMgr is nil!\n");
  InterfacePtr<IPanelControlData> panel(gPreferencePanelController, UseDefaultIID());
  if (!panel)
    return Report("PanelControLData is nil!\n");
  return panel;
}

PMString DisplayedPreferenceValue(const PMString& identifier, const PMString& value) {
  PMString shown;
  return DisplayHookRewrites(identifier, value, shown) ? shown : value;
}

InterfacePtr<ITextControlData> FindRowText(const NodeID& nodeID, RowText which) {
  InterfacePtr<IPanelControlData> panel = PreferencePagePanel();
  if (!panel)
    return {};
  auto treeViewMgr = PageWidget<ITreeViewMgr>(*panel, kCommonPreferencesTreeViewWidgetID);
  if (!treeViewMgr)
    return Report("BrindlePanelObserver::DidChangeTreeViewSelection (treeViewMgr == nil)\n");
  InterfacePtr<IControlView> nodeView(treeViewMgr->QueryWidgetFromNode(nodeID));
  if (!nodeView)
    return Report("BrindlePanelObserver::DidChangeTreeViewSelection (nodeView == nil)\n");
  InterfacePtr<IPanelControlData> nodeViewControllData(nodeView, UseDefaultIID());
  if (!nodeViewControllData)
    return Report(
        "BrindlePanelObserver::DidChangeTreeViewSelection (nodeViewControllData == nil)\n");
  IControlView* nodeElementView = nodeViewControllData->FindWidget(
      which == RowText::kValue ? kCommonPreferencesNodeValueWidgetID
                               : kCommonPreferencesNodeKeyWidgetID);
  if (!nodeElementView)
    return Report("BrindlePanelObserver::DidChangeTreeViewSelection (nodeElementView == nil)\n");
  InterfacePtr<ITextControlData> textData(nodeElementView, UseDefaultIID());
  if (!textData)
    return Report("BrindlePanelObserver::DidChangeTreeViewSelection (textData == nil)\n");
  return textData;
}

std::unique_ptr<PMString> GetEditedValue(std::int32_t type) {
  InterfacePtr<IPanelControlData> panel = PreferencePagePanel();
  if (!panel)
    return nullptr;
  if (type == kPreferenceTypeChoice)
    return ChosenDisplayText(*panel);
  if (!IsTextPreferenceType(type))
    return nullptr;
  IControlView* element =
      panel->FindWidget(kCommonPreferencesEditBoxWidgetID, folivox::kWidgetSearchDepth);
  if (!element)
    return Report("Element is nil!\n");
  InterfacePtr<ITextControlData> textControlData(element, UseDefaultIID());
  if (!textControlData)
    return Report("textControlData is nil!\n");
  return std::make_unique<PMString>(textControlData->GetString());
}

void ShowEditedValueInTree() {
  const std::unique_ptr<PMString> value = GetEditedValue(gCurrentPreferenceType);
  PMString* entered = gVisitedPreferenceNodes.EnteredFor(gCurrentPreferenceNodeID);
  if (!value || !entered || !gCurrentPreferenceNode)
    return;
  *entered = *value;
  const bool secret = EnteredSecret(*gCurrentPreferenceNode, *value);
  if (IsTextPreferenceType(gCurrentPreferenceType))
    SetEditBoxPassword(secret);
  // A row whose group is collapsed has no widget: it shows the value when it comes back.
  InterfacePtr<ITextControlData> shown = FindRowText(gCurrentPreferenceNodeID, RowText::kValue);
  if (shown)
    shown->SetString(Shown(ShownInRow(gCurrentPreferenceNode->GetKeyText(), *value, secret)), kTrue,
                     kTrue);
}

std::optional<PMString> VisitedRowText(const NodeID& nodeID) {
  const std::optional<std::size_t> at = gVisitedPreferenceNodes.IndexOf(nodeID);
  if (!at)
    return std::nullopt;
  const PnlTrvDataNode& node = gVisitedPreferenceNodes.nodes[*at];
  const PMString& entered = gVisitedPreferenceNodes.entered[*at];
  return ShownInRow(node.GetKeyText(), entered, EnteredSecret(node, entered));
}

void ShowNoPreferenceEditor() {
  gCurrentPreferenceNode = nullptr;
  gCurrentPreferenceType = 0;
  gCurrentPreferenceNodeID = NodeID();
  InterfacePtr<IPanelControlData> panel = PreferencePagePanel();
  if (!panel)
    return;
  HideEditors(*panel, false);
  IControlView* editBox =
      panel->FindWidget(kCommonPreferencesEditBoxWidgetID, folivox::kWidgetSearchDepth);
  InterfacePtr<ITextControlData> text(editBox, UseDefaultIID());
  if (!text)
    return;
  text->SetPassword(kFalse);
  text->SetString(PMString(), kTrue, kFalse);
  editBox->Show();
}

// A row without an editor (a group) leaves the label empty.
void NameEditedRow(const IPanelControlData& panel, const PMString& label) {
  InterfacePtr<ITextControlData> text(
      panel.FindWidget(kCommonPreferencesEditedRowWidgetID, folivox::kWidgetSearchDepth),
      UseDefaultIID());
  if (text)
    text->SetString(label, kTrue, kFalse);
}

void ShowPreferenceEditors(PnlTrvDataNode* node, const NodeID& nodeID) {
  if (!node)
    return;
  node->SetSelected(1);
  InterfacePtr<ITextControlData> rowValue = FindRowText(nodeID, RowText::kValue);
  InterfacePtr<IPanelControlData> panel =
      rowValue ? PreferencePagePanel() : InterfacePtr<IPanelControlData>();
  if (!panel)
    return;
  HideEditors(*panel, true);
  const std::int32_t type = node->GetType();
  const bool edited = IsTextPreferenceType(type) || type == kPreferenceTypeChoice;
  NameEditedRow(*panel, edited ? node->GetDisplayText() : PMString());
  const PMString* entered = gVisitedPreferenceNodes.EnteredFor(nodeID);
  const PMString shown = entered ? *entered : rowValue->GetString();
  if (IsTextPreferenceType(type))
    ShowEditBox(*panel, *node, shown);
  if (type == kPreferenceTypeChoice)
    ShowComboBox(*panel, *node, shown);
  if (type == kPreferenceTypeFolder) {
    if (IControlView* browse =
            panel->FindWidget(kCommonPreferencesBrowseButtonWidgetID, folivox::kWidgetSearchDepth))
      browse->Show();
  }
  gCurrentPreferenceType = type;
  gCurrentPreferenceNode = node;
}

bool OpenPreferencesDialog() {
  InterfacePtr<IDialogMgr> dialogs(QueryDialogMgr());
  InterfacePtr<IDialog> dialog(
      dialogs ? dialogs->CreatePreferencesDialog(kCommonPreferencesPanelWidgetID) : nullptr);
  if (!dialog)
    return false;
  dialog->Open();
  return true;
}
