// The SDK's base classes for widget observers, tree views and list adapters, and the
// host services a plug-in reaches through free functions.

#include "../text/StringTables.h"
#include "PanelManager.h"
#include "Widgets.h"

#include <layra/ActiveSelectionObserver.h>
#include <layra/FolderChooser.h>
#include <layra/IObjectModel.h>
#include <layra/IPMStream.h>
#include <layra/ITreeViewHierarchyAdapter.h>
#include <layra/ITreeViewWidgetMgr.h>
#include <layra/WLocaleSetting.h>

#include <cstdio>

namespace {

constexpr std::int32_t kFindDepth = 9999;
constexpr double kIndentPerLevel = 16;

InterfacePtr<ISubject> SubjectOfWidget(const IPMUnknown* boss, WidgetID id) {
  InterfacePtr<IPanelControlData> panel(boss, UseDefaultIID());
  IControlView* widget = panel ? panel->FindWidget(id, kFindDepth) : nullptr;
  return InterfacePtr<ISubject>(widget, UseDefaultIID());
}

} // namespace

// Nodes

IntNodeID::~IntNodeID() = default;

std::int32_t IntNodeID::Compare(const NodeIDClass* other) const {
  const std::int32_t value = static_cast<const IntNodeID*>(other)->fValue;
  return fValue < value ? -1 : (fValue > value ? 1 : 0);
}

void IntNodeID::Read(IPMStream* stream) {
  stream->XferInt32(fValue);
}

void IntNodeID::Write(IPMStream* stream) const {
  std::int32_t value = fValue;
  stream->XferInt32(value);
}

PMString IntNodeID::GetDescription() const {
  PMString text("row ", PMString::kDontTranslateDuringCall);
  text.AppendNumber(fValue);
  return text;
}

// ListTreeViewAdapter: the root is position -1, its children the list's positions.

NodeID ListTreeViewAdapter::GetRootNode() const {
  return IntNodeID::Create(-1);
}

NodeID ListTreeViewAdapter::GetParentNode(const NodeID& node) const {
  TreeNodePtr<IntNodeID> row(node);
  if (!row || row->Get() < 0)
    return kInvalidNodeID;
  return GetRootNode();
}

std::int32_t ListTreeViewAdapter::GetNumChildren(const NodeID& node) const {
  TreeNodePtr<IntNodeID> row(node);
  if (!row || row->Get() >= 0)
    return 0;
  return GetNumListItems();
}

NodeID ListTreeViewAdapter::GetNthChild(const NodeID& node, const std::int32_t& nth) const {
  TreeNodePtr<IntNodeID> row(node);
  if (!row || row->Get() >= 0 || nth < 0)
    return kInvalidNodeID;
  return IntNodeID::Create(nth);
}

std::int32_t ListTreeViewAdapter::GetChildIndex(const NodeID& parent, const NodeID& child) const {
  TreeNodePtr<IntNodeID> list(parent), row(child);
  if (!list || !row || list->Get() >= 0 || row->Get() < 0)
    return -1;
  return row->Get();
}

NodeID ListTreeViewAdapter::GetGenericNodeID() const {
  return IntNodeID::Create(0);
}

// CTreeViewWidgetMgr

CTreeViewWidgetMgr::CTreeViewWidgetMgr(IPMUnknown* boss, std::int32_t style)
    : CPMUnknown<ITreeViewWidgetMgr>(boss), fStyle(style) {}

CTreeViewWidgetMgr::~CTreeViewWidgetMgr() = default;

void CTreeViewWidgetMgr::RegisterStyleWidget(std::int32_t style, std::int32_t rsrc,
                                             PluginID plugin) {
  fStyles[style] = Style{RsrcID{static_cast<std::uint32_t>(rsrc)}, plugin};
}

WidgetID CTreeViewWidgetMgr::GetWidgetTypeForNode(const NodeID&) const {
  if (fStyles.count(fStyle) != 0 || fStyles.empty())
    return WidgetID{static_cast<std::uint32_t>(fStyle)};
  return WidgetID{static_cast<std::uint32_t>(fStyles.begin()->first)};
}

IControlView* CTreeViewWidgetMgr::CreateWidgetForNode(const NodeID& node) const {
  auto style = fStyles.find(static_cast<std::int32_t>(GetWidgetTypeForNode(node).Get()));
  if (style == fStyles.end()) {
    std::fprintf(stderr, "layra: the tree view has no row style for its node %s\n",
                 node.IsValid() ? node.Get()->GetDescription().GrabCString() : "(none)");
    return nullptr;
  }
  return static_cast<IControlView*>(
      CreateObject(RsrcSpec{WLocaleSetting::GetLocale(), style->second.plugin, kViewRsrcType,
                            style->second.rsrc},
                   IID_ICONTROLVIEW));
}

bool16 CTreeViewWidgetMgr::ApplyNodeIDToWidget(const NodeID& node, IControlView* widget,
                                               std::int32_t message) const {
  InterfacePtr<ITreeNodeIDData> data(widget, UseDefaultIID());
  if (data)
    data->Set(node);
  InterfacePtr<IPanelControlData> children(widget, UseDefaultIID());
  InterfacePtr<ITreeViewMgr> tree(this, UseDefaultIID());
  IControlView* expander = children ? children->FindWidget(kTreeNodeExpanderWidgetID) : nullptr;
  InterfacePtr<IBooleanControlData> state(expander, UseDefaultIID());
  if (state && tree && tree->IsNodeExpanded(node))
    state->Select(kFalse);
  else if (state)
    state->Deselect(kFalse);
  return ApplyDataToWidget(node, children, message);
}

bool16 CTreeViewWidgetMgr::ApplyDataToWidget(const NodeID&, IPanelControlData*,
                                             std::int32_t) const {
  return kTrue;
}

double CTreeViewWidgetMgr::GetIndentForNode(const NodeID& node) const {
  InterfacePtr<ITreeViewHierarchyAdapter> adapter(this, UseDefaultIID());
  if (!adapter)
    return 0;
  int depth = 0;
  for (NodeID parent = adapter->GetParentNode(node); parent.IsValid();
       parent = adapter->GetParentNode(parent))
    ++depth;
  return depth > 1 ? (depth - 1) * kIndentPerLevel : 0;
}

// Observers

bool CWidgetObserver::AttachToWidget(WidgetID id, PMIID protocol) {
  InterfacePtr<ISubject> subject = SubjectOfWidget(Boss(), id);
  if (!subject)
    return false;
  subject->AttachObserver(this, protocol, GetObserverIID());
  return true;
}

bool CWidgetObserver::DetachFromWidget(WidgetID id, PMIID protocol) {
  InterfacePtr<ISubject> subject = SubjectOfWidget(Boss(), id);
  if (!subject)
    return false;
  subject->DetachObserver(this, protocol, GetObserverIID());
  return true;
}

ISubject* QueryActiveSelectionSubject() {
  layra::PanelManager* panels = layra::CurrentPanels();
  ISubject* subject = panels ? panels->SelectionSubject() : nullptr;
  if (subject)
    subject->AddRef();
  return subject;
}

void ActiveSelectionObserver::AutoAttach() {
  InterfacePtr<ISubject> selection(QueryActiveSelectionSubject());
  if (selection)
    selection->AttachObserver(this, IID_IACTIVESELECTION, GetObserverIID());
}

void ActiveSelectionObserver::AutoDetach() {
  InterfacePtr<ISubject> selection(QueryActiveSelectionSubject());
  if (selection)
    selection->DetachObserver(this, IID_IACTIVESELECTION, GetObserverIID());
}

void ActiveSelectionObserver::Update(const ClassID& theChange, ISubject* theSubject,
                                     const PMIID& protocol, void* changedBy) {
  HandleSelectionUpdate(theChange, theSubject, protocol, changedBy);
}

void ActiveSelectionObserver::HandleSelectionUpdate(const ClassID& theChange, ISubject*,
                                                    const PMIID& protocol, void*) {
  if (protocol != IID_IACTIVESELECTION)
    return;
  const ISelectionMessage message{theChange};
  if (theChange == kActiveSelectionChangedMessage)
    HandleSelectionChanged(&message);
  else if (theChange == kSelectionAttributeChangedMessage)
    HandleSelectionAttributeChanged(&message);
}

// Locale and folder chooser

PMLocaleId WLocaleSetting::GetLocale() {
  return layra::StringTables::Instance().GetLocale();
}

// The chooser takes the answers queued for it (the automation service queues them), then
// asks the front end; headless, with none waiting, it is cancelled.
std::vector<IDFile> FolderChooser::Choose(const PMString& title, const IDFile& start) {
  layra::PanelManager* panels = layra::CurrentPanels();
  auto answer = panels ? panels->NextFolderAnswer() : std::nullopt;
  if (!answer && panels && panels->FolderAsker()) {
    PMString shown = title;
    shown.Translate();
    answer = panels->FolderAsker()(shown.GetUTF8String(), start.GetPath());
  }
  if (!answer)
    return {};
  return {IDFile(*answer)};
}
