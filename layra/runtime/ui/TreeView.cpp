#include "TreeView.h"

#include "../model/HostImplementations.h"
#include "Widgets.h"

#include <layra/IPanelControlData.h>
#include <layra/ITreeViewHierarchyAdapter.h>
#include <layra/ITreeViewWidgetMgr.h>

#include <algorithm>

namespace layra {
namespace {

constexpr double kDefaultRowHeight = 20;

/** The tree view a row widget (or a widget inside a row) belongs to, and the row's node. */
bool FindRow(const IPMUnknown* inside, NodeID& node, InterfacePtr<IControlView>& tree) {
  InterfacePtr<IControlView> view(inside, UseDefaultIID());
  while (view) {
    InterfacePtr<ITreeNodeIDData> data(view, UseDefaultIID());
    InterfacePtr<IControlView> parent(view->QueryParentView());
    if (data) {
      node = data->Get();
      tree = parent;
      return tree && node.IsValid();
    }
    view = parent;
  }
  return false;
}

} // namespace

void RegisterTreeViewImplementations(ObjectModel& model, PluginID host) {
  RegisterHostImplementations(model, host,
                              {RecordOf<TreeViewMgr>(kTreeViewMgrImpl),
                               RecordOf<TreeViewController>(kTreeViewControllerImpl),
                               RecordOf<TreeViewEventHandler>(kTreeViewEventHandlerImpl),
                               RecordOf<TreeNodeEventHandler>(kTreeNodeEventHandlerImpl)});
}

void TreeViewMgr::ChangeRoot(bool16 keepExpansion) {
  if (!keepExpansion)
    fExpanded.clear();
  fFirst = 0;
  Layout();
  Notify(kTreeRebuiltMessage);
}

void TreeViewMgr::Notify(ClassID change) {
  NotifyWidget(this, change, IID_ITREEVIEWMGR);
}

void TreeViewMgr::NodeChanged(const NodeID& node, std::int32_t message) {
  InterfacePtr<ITreeViewWidgetMgr> widgets(this, UseDefaultIID());
  for (const Row& row : fRows) {
    if (widgets && row.node == node)
      widgets->ApplyNodeIDToWidget(node, row.widget, message);
  }
}

IControlView* TreeViewMgr::QueryWidgetFromNode(const NodeID& node) const {
  for (const Row& row : fRows) {
    if (row.node == node) {
      row.widget->AddRef();
      return row.widget;
    }
  }
  return nullptr;
}

void TreeViewMgr::ExpandNode(const NodeID& node) {
  if (!node.IsValid() || !fExpanded.insert(node).second)
    return;
  Layout();
  Notify(kTreeNodeExpandedMessage);
}

void TreeViewMgr::CollapseNode(const NodeID& node) {
  if (fExpanded.erase(node) == 0)
    return;
  Layout();
  Notify(kTreeNodeCollapsedMessage);
}

bool16 TreeViewMgr::IsNodeExpanded(const NodeID& node) const {
  InterfacePtr<ITreeViewHierarchyAdapter> adapter(this, UseDefaultIID());
  if (adapter && node == adapter->GetRootNode())
    return kTrue;
  return fExpanded.count(node) != 0;
}

void TreeViewMgr::ScrollToNode(const NodeID& node) {
  InterfacePtr<ITreeViewHierarchyAdapter> adapter(this, UseDefaultIID());
  if (!adapter)
    return;
  bool expanded = false;
  for (NodeID parent = adapter->GetParentNode(node); parent.IsValid();
       parent = adapter->GetParentNode(parent))
    expanded = fExpanded.insert(parent).second || expanded;
  const std::vector<NodeID> rows = Flatten(*adapter);
  auto found = std::find(rows.begin(), rows.end(), node);
  if (found == rows.end())
    return;
  const auto row = static_cast<std::int32_t>(found - rows.begin());
  const bool shown = row >= fFirst && row < fFirst + static_cast<std::int32_t>(fRows.size());
  if (expanded || !shown) {
    fFirst = shown ? fFirst : row;
    Layout();
  }
}

void TreeViewMgr::Flatten(const ITreeViewHierarchyAdapter& adapter, const NodeID& node,
                          std::vector<NodeID>& rows) const {
  const std::int32_t count = adapter.GetNumChildren(node);
  for (std::int32_t i = 0; i < count; ++i) {
    NodeID child = adapter.GetNthChild(node, i);
    rows.push_back(child);
    if (fExpanded.count(child) != 0)
      Flatten(adapter, child, rows);
  }
}

std::vector<NodeID> TreeViewMgr::Flatten(const ITreeViewHierarchyAdapter& adapter) const {
  std::vector<NodeID> rows;
  const NodeID root = adapter.GetRootNode();
  if (fShowRoot)
    rows.push_back(root);
  Flatten(adapter, root, rows);
  return rows;
}

std::int32_t TreeViewMgr::RowCount() const {
  InterfacePtr<ITreeViewHierarchyAdapter> adapter(this, UseDefaultIID());
  if (!adapter)
    return 0;
  if (!fExpanded.empty())
    return static_cast<std::int32_t>(Flatten(*adapter).size());
  return adapter->GetNumChildren(adapter->GetRootNode()) + (fShowRoot ? 1 : 0);
}

NodeID TreeViewMgr::NodeAtRow(std::int32_t row) const {
  InterfacePtr<ITreeViewHierarchyAdapter> adapter(this, UseDefaultIID());
  if (!adapter || row < 0)
    return kInvalidNodeID;
  if (!fExpanded.empty()) {
    const std::vector<NodeID> rows = Flatten(*adapter);
    return row < static_cast<std::int32_t>(rows.size()) ? rows[static_cast<std::size_t>(row)]
                                                        : kInvalidNodeID;
  }
  // Nothing is expanded: the rows are the root's children, asked for one by one.
  const NodeID root = adapter->GetRootNode();
  if (fShowRoot && row == 0)
    return root;
  const std::int32_t child = row - (fShowRoot ? 1 : 0);
  if (child >= adapter->GetNumChildren(root))
    return kInvalidNodeID;
  return adapter->GetNthChild(root, child);
}

void TreeViewMgr::ScrollToRow(std::int32_t row) {
  if (row >= fFirst && row < fFirst + static_cast<std::int32_t>(fRows.size()))
    return;
  fFirst = std::max(0, row);
  Layout();
}

void TreeViewMgr::SetFirstRow(std::int32_t row) {
  fFirst = std::max(0, row);
  Layout();
}

void TreeViewMgr::Layout() {
  // A plug-in filling a row may ask for the rows to be made anew (its data changed as it read
  // them). Made there, in the middle of this layout, the rows made so far would go and the
  // rest come on top of the new ones, some twice: the request waits until this one is done.
  if (fLayingOut) {
    fLayOutAgain = true;
    return;
  }
  fLayingOut = true;
  do {
    fLayOutAgain = false;
    LayOutRows();
  } while (fLayOutAgain);
  fLayingOut = false;
}

void TreeViewMgr::LayOutRows() {
  InterfacePtr<IPanelControlData> panel(this, UseDefaultIID());
  InterfacePtr<IControlView> view(this, UseDefaultIID());
  if (!panel || !view)
    return;
  fLaidOut = true;
  const ViewBatch batch; // rows go and come: a front end shows the outcome once
  for (auto row = fRows.rbegin(); row != fRows.rend(); ++row)
    panel->RemoveWidget(row->widget);
  fRows.clear();
  InterfacePtr<ITreeViewHierarchyAdapter> adapter(this, UseDefaultIID());
  InterfacePtr<ITreeViewWidgetMgr> widgets(this, UseDefaultIID());
  if (!adapter || !widgets)
    return;
  if (!fStylesRegistered) {
    widgets->RegisterStyles();
    fStylesRegistered = true;
  }
  // Only the rows that fit the view are asked for and made; a list is never walked whole.
  const NodeID root = adapter->GetRootNode();
  const std::int32_t rootRows = fShowRoot ? 1 : 0;
  const std::vector<NodeID> all = fExpanded.empty() ? std::vector<NodeID>() : Flatten(*adapter);
  const std::int32_t count = fExpanded.empty() ? adapter->GetNumChildren(root) + rootRows
                                               : static_cast<std::int32_t>(all.size());
  fFirst = std::clamp(fFirst, 0, std::max(0, count - 1));
  const double height = view->GetFrame().Height();
  double top = 0;
  for (std::int32_t i = fFirst; i < count && (height <= 0 || top < height); ++i) {
    NodeID node;
    if (!fExpanded.empty())
      node = all[static_cast<std::size_t>(i)];
    else
      node = i < rootRows ? root : adapter->GetNthChild(root, i - rootRows);
    InterfacePtr<IControlView> widget(widgets->CreateWidgetForNode(node));
    if (!widget)
      break;
    const PMRect shape = widget->GetFrame();
    const double rowHeight = shape.Height() > 0 ? shape.Height() : kDefaultRowHeight;
    const double indent = widgets->GetIndentForNode(node);
    widget->SetFrame(PMRect{indent, top, indent + shape.Width(), top + rowHeight}, kFalse);
    InterfacePtr<ITreeNodeIDData> data(widget, UseDefaultIID());
    if (data)
      data->Set(node);
    panel->AddWidget(widget);
    fRows.push_back(Row{node, widget.get()});
    widgets->ApplyNodeIDToWidget(node, widget, 0);
    top += rowHeight;
  }
  view->Invalidate();
}

bool16 TreeViewController::IsSelected(const NodeID& node) const {
  return std::find(fSelected.begin(), fSelected.end(), node) != fSelected.end();
}

void TreeViewController::Select(const NodeID& node, bool16 addToSelection, bool16 notifyOfChange) {
  if (!node.IsValid())
    return;
  if (!addToSelection && fSelected.size() == 1 && fSelected.front() == node)
    return;
  if (!addToSelection)
    fSelected.clear();
  if (!IsSelected(node))
    fSelected.push_back(node);
  Changed(notifyOfChange);
}

void TreeViewController::Deselect(const NodeID& node, bool16 notifyOfChange) {
  if (std::erase(fSelected, node) != 0)
    Changed(notifyOfChange);
}

void TreeViewController::DeselectAll(bool16 notifyOfChange) {
  if (fSelected.empty())
    return;
  fSelected.clear();
  Changed(notifyOfChange);
}

void TreeViewController::Changed(bool notify) {
  InterfacePtr<IControlView> view(this, UseDefaultIID());
  if (view)
    view->Invalidate();
  if (notify)
    NotifyWidget(this, kListSelectionChangedMessage, IID_ITREEVIEWCONTROLLER);
}

bool16 TreeViewEventHandler::LButtonDn(IEvent*) {
  InterfacePtr<ITreeViewController> controller(this, UseDefaultIID());
  if (controller)
    controller->DeselectAll(kTrue);
  return kTrue;
}

bool16 TreeNodeEventHandler::LButtonDn(IEvent* e) {
  NodeID node;
  InterfacePtr<IControlView> tree;
  if (!FindRow(this, node, tree))
    return kFalse;
  InterfacePtr<ITreeViewController> controller(tree, UseDefaultIID());
  if (!controller)
    return kFalse;
  if (e && e->CmdKeyDown() && controller->IsSelected(node))
    controller->Deselect(node, kTrue);
  else
    controller->Select(node, e && (e->CmdKeyDown() || e->ShiftKeyDown()), kTrue);
  return kTrue;
}

TreeViewMgr* HostTree(IControlView* tree) {
  InterfacePtr<ITreeViewMgr> manager(tree, UseDefaultIID());
  return dynamic_cast<TreeViewMgr*>(manager.get()); // the tree view's boss keeps it
}

void TreeViewShown(IControlView* tree) {
  TreeViewMgr* host = HostTree(tree);
  if (host && !host->IsLaidOut())
    host->ChangeRoot(kFalse);
}

void ExpanderToggled(const IPMUnknown* expander, bool expanded) {
  NodeID node;
  InterfacePtr<IControlView> tree;
  if (!FindRow(expander, node, tree))
    return;
  InterfacePtr<ITreeViewMgr> manager(tree, UseDefaultIID());
  if (manager && expanded)
    manager->ExpandNode(node);
  else if (manager)
    manager->CollapseNode(node);
}

} // namespace layra
