#pragma once
// What a tree view asks a plug-in about its nodes.

#include <layra/CPMUnknown.h>
#include <layra/NodeID.h>

class ITreeViewHierarchyAdapter : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITREEVIEWHIERARCHYADAPTER;

  virtual NodeID GetRootNode() const = 0;
  /** kInvalidNodeID for the root. */
  virtual NodeID GetParentNode(const NodeID& node) const = 0;
  virtual std::int32_t GetNumChildren(const NodeID& node) const = 0;
  virtual NodeID GetNthChild(const NodeID& node, const std::int32_t& nth) const = 0;
  /** -1 when `child` is not a child of `parent`. */
  virtual std::int32_t GetChildIndex(const NodeID& parent, const NodeID& child) const = 0;
  virtual NodeID GetGenericNodeID() const = 0;
};

/** An adapter for a flat list: the root (position -1) has one IntNodeID child per item. */
class LAYRA_API ListTreeViewAdapter : public CPMUnknown<ITreeViewHierarchyAdapter> {
public:
  explicit ListTreeViewAdapter(IPMUnknown* boss) : CPMUnknown<ITreeViewHierarchyAdapter>(boss) {}

  virtual std::int32_t GetNumListItems() const = 0;

  NodeID GetRootNode() const override;
  NodeID GetParentNode(const NodeID& node) const override;
  std::int32_t GetNumChildren(const NodeID& node) const override;
  NodeID GetNthChild(const NodeID& node, const std::int32_t& nth) const override;
  std::int32_t GetChildIndex(const NodeID& parent, const NodeID& child) const override;
  NodeID GetGenericNodeID() const override;
};
