#pragma once
// Base of a tree informator: no items and no rows until a subclass says otherwise.

#include "panel/ITreeInformator.h"

#include <layra/CPMUnknown.h>

class CTreeInformator : public CPMUnknown<ITreeInformator> {
public:
  explicit CTreeInformator(IPMUnknown* boss) : CPMUnknown<ITreeInformator>(boss) {}

  std::int32_t CountPages() override { return 0; }
  std::int32_t GetPageCount() override { return 0; }
  bool16 ApplyDataToWidget(const NodeID& node, IPanelControlData* rowWidgets,
                           std::int32_t message) override;
  std::vector<NodeID>& GetItemList() override { return fItems; }

private:
  std::vector<NodeID> fItems;
};
