#pragma once
// The page list's tree view: the adapter counts its rows, the manager makes and fills
// them; both ask the informator on the same widget.

#include <layra/ITreeViewHierarchyAdapter.h>
#include <layra/ITreeViewWidgetMgr.h>

class TreeListAdapter : public ListTreeViewAdapter {
public:
  explicit TreeListAdapter(IPMUnknown* boss) : ListTreeViewAdapter(boss) {}
  std::int32_t GetNumListItems() const override;
};

class TreeListManager : public CTreeViewWidgetMgr {
public:
  explicit TreeListManager(IPMUnknown* boss) : CTreeViewWidgetMgr(boss, 0) {}
  ~TreeListManager() override = default;
  void RegisterStyles() override;

protected:
  bool16 ApplyDataToWidget(const NodeID& node, IPanelControlData* widgetList,
                           std::int32_t message) const override;
};
