#include "prefs/KCommonPrefeernceModel.h"

#include "base/ImplementationTable.h"
#include "prefs/KCommonPreferenceTypesList.h"
#include "prefs/PreferencePanelIDs.h"

namespace {
folivox::RegisterImplementation<KCommonPrefeernceModel> gRegisterModel(kCommonPrefeernceModelImpl);
} // namespace

PMString KCommonPrefeernceModel::GetRootName() const {
  return fRoot ? fRoot->GetName() : PMString();
}

PnlTrvDataNode* KCommonPrefeernceModel::GetNode(const PMString& name) const {
  auto found = fByName.find(name);
  return found == fByName.end() ? nullptr : found->second;
}

PMString KCommonPrefeernceModel::GetParentName(const PMString& name) const {
  const PnlTrvDataNode* node = GetNode(name);
  if (!node || node == fRoot || !node->GetParent())
    return PMString();
  return node->GetParent()->GetName();
}

std::int32_t KCommonPrefeernceModel::GetChildCount(const PMString& name) {
  const PnlTrvDataNode* node = GetNode(name);
  if (node && node->ChildCount() > 0)
    return node->ChildCount();
  Populate(name);
  node = GetNode(name);
  return node ? node->ChildCount() : 0;
}

PMString KCommonPrefeernceModel::GetNthChildName(const PMString& name, std::int32_t n) {
  const PnlTrvDataNode* node = GetNode(name);
  if (!node || node->ChildCount() == 0) {
    Populate(name);
    node = GetNode(name);
  }
  if (!node || n < 0 || n >= node->ChildCount())
    return PMString();
  return node->GetNthChild(n)->GetName();
}

std::int32_t KCommonPrefeernceModel::GetChildIndex(const PMString& parent, const PMString& child) {
  const PnlTrvDataNode* node = GetNode(parent);
  if (!node)
    return -1;
  if (node->ChildCount() == 0)
    Populate(parent);
  for (std::int32_t i = 0; i < node->ChildCount(); ++i) {
    if (node->GetNthChild(i)->GetName() == child)
      return i;
  }
  return -1;
}

void KCommonPrefeernceModel::SetRoot(const PMString& rootName) {
  fByName.clear();
  fNodes.clear();
  fRoot = nullptr;
  if (rootName.IsEmpty())
    return;
  fRoot = NewNode(rootName, PMString(), PMString(), kPreferenceTypeGroup, nullptr);
  Populate(rootName);
}

void KCommonPrefeernceModel::Populate(const PMString& name) {
  if (!gPreferenceTypes)
    return;
  const std::vector<PMString> identifiers = gPreferenceTypes->GetIdentifiers();
  const std::vector<PMString> labels = gPreferenceTypes->GetLabels();
  const std::vector<PMString> groups = gPreferenceTypes->GetGroups();
  const std::vector<std::int32_t> types = gPreferenceTypes->GetTypes();
  PnlTrvDataNode* parent = GetNode(name);
  if (!parent)
    return;
  PMString currentGroup;
  PnlTrvDataNode* groupNode = nullptr;
  for (std::size_t i = 0; i < identifiers.size(); ++i) {
    const PMString& group = groups[i];
    if (!group.IsEmpty() && !(group == currentGroup)) {
      currentGroup = group;
      groupNode = NewNode(group, group, PMString(), kPreferenceTypeGroup, parent);
      parent->AddChild(*groupNode);
    }
    PnlTrvDataNode* owner = group.IsEmpty() ? parent : groupNode;
    owner->AddChild(*NewNode(identifiers[i], labels[i], identifiers[i], types[i], owner));
  }
}

PnlTrvDataNode* KCommonPrefeernceModel::NewNode(const PMString& name, const PMString& displayText,
                                                const PMString& keyText, std::int32_t type,
                                                PnlTrvDataNode* parent) {
  auto node = std::make_unique<PnlTrvDataNode>();
  node->SetName(name);
  node->SetDisplayText(displayText);
  node->SetKeyText(keyText);
  node->SetType(type);
  node->SetParent(parent);
  fByName.emplace(name, node.get());
  fNodes.push_back(std::move(node));
  return fNodes.back().get();
}
