// The rows of the preferences tree: each shows its preference's label and stored value and
// keeps the node's name, by which the page finds the node again.

#include "base/ImplementationTable.h"
#include "base/Trace.h"
#include "prefs/ICommonPrefeernceModel.h"
#include "prefs/KCommonPreferenceTypesList.h"
#include "prefs/PnlTrvFileNodeID.h"
#include "prefs/PreferencePanel.h"
#include "prefs/PreferencePanelIDs.h"

#include <layra/IPanelControlData.h>
#include <layra/ITreeViewHierarchyAdapter.h>
#include <layra/ITreeViewWidgetMgr.h>
#include <layra/WLocaleSetting.h>

#include <optional>

namespace {

constexpr std::int32_t kRowStyle = 1;

InterfacePtr<ITextControlData> TextOf(IPanelControlData* cells, WidgetID id) {
  return InterfacePtr<ITextControlData>(cells ? cells->FindWidget(id) : nullptr, UseDefaultIID());
}

PMString Untranslated(const PMString& text) {
  PMString shown(text);
  shown.SetTranslatable(false);
  return shown;
}

// What the row shows for a stored value; nothing when the value cannot be shown.
std::optional<PMString> ShownValue(const PnlTrvDataNode& node, const PMString& stored) {
  const std::int32_t type = node.GetType();
  if (IsTextPreferenceType(type))
    return DisplayedPreferenceValue(node.GetKeyText(), stored);
  if (type != kPreferenceTypeChoice || !gPreferenceTypes)
    return std::nullopt;
  const auto displays = gPreferenceTypes->GetDisplayChoices(node.GetName());
  const auto values = gPreferenceTypes->GetValueChoices(node.GetName());
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] == stored)
      return i < displays.size() ? std::optional<PMString>(displays[i]) : std::nullopt;
  }
  return std::nullopt;
}

class KCommonPreferenceMgr : public CTreeViewWidgetMgr {
public:
  explicit KCommonPreferenceMgr(IPMUnknown* boss) : CTreeViewWidgetMgr(boss, kRowStyle) {}

  void RegisterStyles() override {
    RegisterStyleWidget(kRowStyle, static_cast<std::int32_t>(kCommonPreferencesNodeRsrcID.Get()),
                        kFolivoPluginID);
  }

  IControlView* CreateWidgetForNode(const NodeID&) const override {
    return static_cast<IControlView*>(
        CreateObject(RsrcSpec{WLocaleSetting::GetLocale(), kFolivoPluginID, kViewRsrcType,
                              kCommonPreferencesNodeRsrcID},
                     IID_ICONTROLVIEW));
  }

  WidgetID GetWidgetTypeForNode(const NodeID&) const override {
    return kCommonPreferencesNodeWidgetID;
  }

  bool16 ApplyNodeIDToWidget(const NodeID& node, IControlView* widget,
                             std::int32_t message) const override {
    CTreeViewWidgetMgr::ApplyNodeIDToWidget(node, widget, message);
    InterfacePtr<IPanelControlData> cells(widget, UseDefaultIID());
    ShowExpander(node, cells);
    InterfacePtr<ICommonPrefeernceModel> model(this, UseDefaultIID());
    if (!model) {
      folivox::Trace("model is nil!\n");
      return kTrue;
    }
    TreeNodePtr<PnlTrvFileNodeID> ours(node);
    const PnlTrvDataNode* data = ours ? model->GetNode(ours->GetName()) : nullptr;
    if (data)
      Fill(*data, node, ours->GetName(), cells);
    return kTrue;
  }

private:
  void ShowExpander(const NodeID& node, IPanelControlData* cells) const {
    IControlView* expander = cells ? cells->FindWidget(kTreeNodeExpanderWidgetID) : nullptr;
    InterfacePtr<ITreeViewHierarchyAdapter> adapter(this, UseDefaultIID());
    if (expander && adapter)
      expander->Show(adapter->GetNumChildren(node) > 0);
  }

  // A row without one of its texts is left as far as it got. A row the user visited shows
  // what they entered there, also when it comes back after its group was collapsed.
  static void Fill(const PnlTrvDataNode& node, const NodeID& nodeID, const PMString& name,
                   IPanelControlData* cells) {
    InterfacePtr<ITextControlData> label = TextOf(cells, kCommonPreferencesNodeLabelWidgetID);
    if (!label)
      return;
    label->SetString(Untranslated(node.GetDisplayText()));
    InterfacePtr<ITextControlData> key = TextOf(cells, kCommonPreferencesNodeKeyWidgetID);
    if (!key)
      return;
    key->SetString(Untranslated(name));
    InterfacePtr<ITextControlData> value = TextOf(cells, kCommonPreferencesNodeValueWidgetID);
    if (!value)
      return;
    std::optional<PMString> shown = VisitedRowText(nodeID);
    if (!shown) {
      const std::unique_ptr<PMString> stored =
          KCommonPreferenceTypesList::GetPreference(node.GetKeyText());
      shown = stored ? ShownValue(node, *stored) : std::nullopt;
    }
    if (shown)
      value->SetString(Untranslated(*shown), kTrue, kTrue);
  }
};

folivox::RegisterImplementation<KCommonPreferenceMgr> gRegisterMgr(kCommonPreferenceMgrImpl);

} // namespace
