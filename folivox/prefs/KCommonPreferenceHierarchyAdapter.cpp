#include "prefs/KCommonPreferenceHierarchyAdapter.h"

#include "base/ImplementationTable.h"
#include "prefs/ICommonPrefeernceModel.h"
#include "prefs/PnlTrvFileNodeID.h"

namespace {
folivox::RegisterImplementation<KCommonPreferenceHierarchyAdapter>
    gRegisterAdapter(kCommonPreferenceHierarchyAdapterImpl);
} // namespace

NodeID KCommonPreferenceHierarchyAdapter::GetRootNode() const {
  InterfacePtr<ICommonPrefeernceModel> model(this, UseDefaultIID());
  return PnlTrvFileNodeID::Create(model ? model->GetRootName() : PMString());
}

NodeID KCommonPreferenceHierarchyAdapter::GetParentNode(const NodeID& node) const {
  TreeNodePtr<PnlTrvFileNodeID> ours(node);
  InterfacePtr<ICommonPrefeernceModel> model(this, UseDefaultIID());
  if (!ours || !model || ours->GetName() == model->GetRootName())
    return kInvalidNodeID;
  return PnlTrvFileNodeID::Create(model->GetParentName(ours->GetName()));
}

std::int32_t KCommonPreferenceHierarchyAdapter::GetNumChildren(const NodeID& node) const {
  TreeNodePtr<PnlTrvFileNodeID> ours(node);
  InterfacePtr<ICommonPrefeernceModel> model(this, UseDefaultIID());
  if (!ours || !model || !model->GetNode(ours->GetName()))
    return 0;
  // A preference is a leaf, whatever its name may share with a group.
  const PMString& name = ours->GetName();
  if (!name.IsEmpty() && name.GetChar(name.CharCount() - 1) == ':')
    return 0;
  return model->GetChildCount(name);
}

NodeID KCommonPreferenceHierarchyAdapter::GetNthChild(const NodeID& node,
                                                      const std::int32_t& nth) const {
  TreeNodePtr<PnlTrvFileNodeID> ours(node);
  InterfacePtr<ICommonPrefeernceModel> model(this, UseDefaultIID());
  if (!ours || !model)
    return kInvalidNodeID;
  return PnlTrvFileNodeID::Create(model->GetNthChildName(ours->GetName(), nth));
}

std::int32_t KCommonPreferenceHierarchyAdapter::GetChildIndex(const NodeID& parent,
                                                              const NodeID& child) const {
  TreeNodePtr<PnlTrvFileNodeID> ourParent(parent), ourChild(child);
  InterfacePtr<ICommonPrefeernceModel> model(this, UseDefaultIID());
  if (!ourParent || !ourChild || !model)
    return -1;
  return model->GetChildIndex(ourParent->GetName(), ourChild->GetName());
}

NodeID KCommonPreferenceHierarchyAdapter::GetGenericNodeID() const {
  return PnlTrvFileNodeID::Create(PMString());
}
