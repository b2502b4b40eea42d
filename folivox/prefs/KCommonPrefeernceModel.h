#pragma once
// The preferences tree built from the registered preferences: under the root one node per
// group and one per preference, in registration order.

#include "prefs/ICommonPrefeernceModel.h"

#include <layra/CPMUnknown.h>

#include <map>
#include <memory>
#include <vector>

class KCommonPrefeernceModel : public CPMUnknown<ICommonPrefeernceModel> {
public:
  explicit KCommonPrefeernceModel(IPMUnknown* boss) : CPMUnknown<ICommonPrefeernceModel>(boss) {}

  PMString GetRootName() const override;
  PnlTrvDataNode* GetNode(const PMString& name) const override;
  PMString GetParentName(const PMString& name) const override;
  std::int32_t GetChildCount(const PMString& name) override;
  PMString GetNthChildName(const PMString& name, std::int32_t n) override;
  std::int32_t GetChildIndex(const PMString& parent, const PMString& child) override;
  void SetRoot(const PMString& rootName) override;

  /** Adds every registered preference below the node called `name`: a new group node
   *  whenever a preference names a group other than the last group node's. */
  void Populate(const PMString& name);

private:
  PnlTrvDataNode* NewNode(const PMString& name, const PMString& displayText,
                          const PMString& keyText, std::int32_t type, PnlTrvDataNode* parent);

  PnlTrvDataNode* fRoot = nullptr;
  // Every node the model made; a name found twice keeps the node first made under it.
  std::vector<std::unique_ptr<PnlTrvDataNode>> fNodes;
  std::map<PMString, PnlTrvDataNode*> fByName;
};
