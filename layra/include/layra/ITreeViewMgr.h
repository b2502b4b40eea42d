#pragma once
// The tree view itself, its selection, and the node a row widget shows. The tree view
// announces rebuilds, expansions and collapses on IID_ITREEVIEWMGR, selection changes on
// IID_ITREEVIEWCONTROLLER with kListSelectionChangedMessage.

#include <layra/IControlView.h>
#include <layra/NodeID.h>

#include <vector>

using NodeIDList = std::vector<NodeID>;

class ITreeViewMgr : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITREEVIEWMGR;

  /** Asks the adapter again from its root and remakes the rows on screen; expansion is
   *  forgotten unless it is kept. */
  virtual void ChangeRoot(bool16 keepExpansion = kFalse) = 0;
  /** Whether the root has a row of its own (it has not, at first). */
  virtual void ShowRootNode(bool16 show) = 0;
  /** Fills the node's row again, if it has one. */
  virtual void NodeChanged(const NodeID& node, std::int32_t message = 0) = 0;
  /** The row widget of `node` with one reference; null when the row is not on screen. */
  virtual IControlView* QueryWidgetFromNode(const NodeID& node) const = 0;
  virtual void ExpandNode(const NodeID& node) = 0;
  virtual void CollapseNode(const NodeID& node) = 0;
  virtual bool16 IsNodeExpanded(const NodeID& node) const = 0;
  /** Brings a node's row on screen, expanding its parents. */
  virtual void ScrollToNode(const NodeID& node) = 0;
};

class ITreeViewController : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITREEVIEWCONTROLLER;

  /** The selected nodes in the order they were selected. */
  virtual void GetSelectedItems(NodeIDList& items) const = 0;
  virtual bool16 IsSelected(const NodeID& node) const = 0;
  virtual void Select(const NodeID& node, bool16 addToSelection = kFalse,
                      bool16 notifyOfChange = kTrue) = 0;
  virtual void Deselect(const NodeID& node, bool16 notifyOfChange = kTrue) = 0;
  virtual void DeselectAll(bool16 notifyOfChange = kTrue) = 0;
};

/** The node a row widget shows. */
class ITreeNodeIDData : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITREENODEIDDATA;
  virtual const NodeID& Get() const = 0;
  virtual void Set(const NodeID& node) = 0;
};
