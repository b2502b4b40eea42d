#pragma once
// The preferences tree that the page shows, answered by node name.

#include "base/FolivoxIDs.h"
#include "prefs/PnlTrvDataNode.h"

#include <layra/IPMUnknown.h>

class ICommonPrefeernceModel : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ICOMMONPREFEERNCEMODEL;

  /** Empty when there is no root. */
  virtual PMString GetRootName() const = 0;
  /** The model's own node, not a copy; null when no node has that name. */
  virtual PnlTrvDataNode* GetNode(const PMString& name) const = 0;
  /** Empty for the root and for a name that is not in the tree. */
  virtual PMString GetParentName(const PMString& name) const = 0;
  virtual std::int32_t GetChildCount(const PMString& name) = 0;
  virtual PMString GetNthChildName(const PMString& name, std::int32_t n) = 0;
  /** -1 when `child` is not a child of `parent`. */
  virtual std::int32_t GetChildIndex(const PMString& parent, const PMString& child) = 0;
  /** Discards the tree and builds it again below a root of that name; an empty name leaves
   *  the tree empty. */
  virtual void SetRoot(const PMString& rootName) = 0;
};
