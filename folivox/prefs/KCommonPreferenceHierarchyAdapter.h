#pragma once
// Answers the preferences tree view from the model on the same boss.

#include <layra/ITreeViewHierarchyAdapter.h>

class KCommonPreferenceHierarchyAdapter : public CPMUnknown<ITreeViewHierarchyAdapter> {
public:
  explicit KCommonPreferenceHierarchyAdapter(IPMUnknown* boss)
      : CPMUnknown<ITreeViewHierarchyAdapter>(boss) {}

  NodeID GetRootNode() const override;
  NodeID GetParentNode(const NodeID& node) const override;
  std::int32_t GetNumChildren(const NodeID& node) const override;
  NodeID GetNthChild(const NodeID& node, const std::int32_t& nth) const override;
  std::int32_t GetChildIndex(const NodeID& parent, const NodeID& child) const override;
  NodeID GetGenericNodeID() const override;
};
