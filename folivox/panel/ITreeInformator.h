#pragma once
// What the page list's tree view asks of the plug-in: the row style and layout, the
// number of rows, and the contents of one row.

#include "base/FolivoxIDs.h"

#include <layra/IPMUnknown.h>
#include <layra/NodeID.h>

#include <vector>

class IPanelControlData;

class ITreeInformator : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITREEINFORMATOR;

  virtual std::int32_t GetRowStyle() = 0;
  virtual std::int32_t GetRowWidgetRsrcID() = 0;
  /** Recounts the items and remembers the count. */
  virtual std::int32_t CountPages() = 0;
  /** The count of the last CountPages. */
  virtual std::int32_t GetPageCount() = 0;
  virtual bool16 ApplyDataToWidget(const NodeID& node, IPanelControlData* rowWidgets,
                                   std::int32_t message) = 0;
  virtual std::vector<NodeID>& GetItemList() = 0;
};
