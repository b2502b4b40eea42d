#pragma once
// The host's tree view: rows made by the plug-in's widget manager for the nodes its
// hierarchy adapter names, only for the rows that fit the view; selection; row events.

#include <layra/CPMUnknown.h>
#include <layra/IEventHandler.h>
#include <layra/ITreeViewMgr.h>
#include <layra/host/ObjectModel.h>

#include <set>
#include <vector>

class ITreeViewHierarchyAdapter;

namespace layra {

void RegisterTreeViewImplementations(ObjectModel& model, PluginID host);
void RegisterDialogImplementations(ObjectModel& model, PluginID host);
class TreeViewMgr;
/** The host's manager of a tree view; null for a view that is no tree view. */
TreeViewMgr* HostTree(IControlView* tree);
/** A tree view came on screen: it makes its rows unless it has been laid out before. */
void TreeViewShown(IControlView* tree);
/** An expander inside a tree row was turned: the row's node expands or collapses. */
void ExpanderToggled(const IPMUnknown* expander, bool expanded);

class TreeViewMgr : public CPMUnknown<ITreeViewMgr> {
public:
  explicit TreeViewMgr(IPMUnknown* boss) : CPMUnknown<ITreeViewMgr>(boss) {}

  void ChangeRoot(bool16 keepExpansion) override;
  void ShowRootNode(bool16 show) override { fShowRoot = show; }
  void NodeChanged(const NodeID& node, std::int32_t message) override;
  IControlView* QueryWidgetFromNode(const NodeID& node) const override;
  void ExpandNode(const NodeID& node) override;
  void CollapseNode(const NodeID& node) override;
  bool16 IsNodeExpanded(const NodeID& node) const override;
  void ScrollToNode(const NodeID& node) override;

  struct Row {
    NodeID node;
    IControlView* widget; // held by the tree view's panel
  };
  /** Rows of the whole tree, shown or not. */
  std::int32_t RowCount() const;
  NodeID NodeAtRow(std::int32_t row) const;
  std::int32_t FirstRow() const { return fFirst; }
  const std::vector<Row>& Rows() const { return fRows; }
  /** Makes `row` the first row on screen unless it is on screen already. */
  void ScrollToRow(std::int32_t row);
  /** Makes `row` the first row on screen, as a scroll bar does, and makes the rows again
   *  (as many as fit the view's frame now). */
  void SetFirstRow(std::int32_t row);
  bool IsLaidOut() const { return fLaidOut; }

private:
  /** Every row in order; used when some node is expanded (a list needs none of it). */
  std::vector<NodeID> Flatten(const ITreeViewHierarchyAdapter& adapter) const;
  void Flatten(const ITreeViewHierarchyAdapter& adapter, const NodeID& node,
               std::vector<NodeID>& rows) const;
  void Layout();
  void LayOutRows();
  void Notify(ClassID change);

  std::set<NodeID> fExpanded;
  std::vector<Row> fRows;
  std::int32_t fFirst = 0;
  bool fShowRoot = false;
  bool fStylesRegistered = false;
  bool fLaidOut = false;
  bool fLayingOut = false;
  bool fLayOutAgain = false;
};

class TreeViewController : public CPMUnknown<ITreeViewController> {
public:
  explicit TreeViewController(IPMUnknown* boss) : CPMUnknown<ITreeViewController>(boss) {}
  void GetSelectedItems(NodeIDList& items) const override { items = fSelected; }
  bool16 IsSelected(const NodeID& node) const override;
  void Select(const NodeID& node, bool16 addToSelection, bool16 notifyOfChange) override;
  void Deselect(const NodeID& node, bool16 notifyOfChange) override;
  void DeselectAll(bool16 notifyOfChange) override;

private:
  void Changed(bool notify);
  NodeIDList fSelected;
};

/** The tree view's own events: a click beside the rows clears the selection. */
class TreeViewEventHandler : public CEventHandler {
public:
  explicit TreeViewEventHandler(IPMUnknown* boss) : CEventHandler(boss) {}
  bool16 LButtonDn(IEvent* e) override;
};

/** A row's events: a click selects (Shift adds, Command toggles). A row expands and
 *  collapses by its expander. */
class TreeNodeEventHandler : public CEventHandler {
public:
  explicit TreeNodeEventHandler(IPMUnknown* boss) : CEventHandler(boss) {}
  bool16 LButtonDn(IEvent* e) override;
};

} // namespace layra
