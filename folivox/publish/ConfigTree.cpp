#include "publish/ConfigTree.h"

#include <algorithm>
#include <iterator>

std::vector<ConfigNode> FindChildren(const ConfigNode& node, const WideString& name) {
  std::vector<ConfigNode> found;
  std::copy_if(node.children.begin(), node.children.end(), std::back_inserter(found),
               [&name](const ConfigNode& child) { return child.name == name; });
  return found;
}

const ConfigNode* FindChild(const ConfigNode& node, const WideString& name) {
  if (node.name == name) {
    return &node;
  }
  const auto found = std::find_if(node.children.begin(), node.children.end(),
                                  [&name](const ConfigNode& child) { return child.name == name; });
  return found == node.children.end() ? nullptr : &*found;
}

std::unique_ptr<WideString> GetAttribute(const ConfigNode& node, const WideString& name) {
  const auto& names = node.attributeNames;
  const auto found = std::find(names.begin(), names.end(), name);
  // The two lists are filled side by side; a name without its value counts as absent.
  const auto index = static_cast<std::size_t>(found - names.begin());
  if (found == names.end() || index >= node.attributeValues.size()) {
    return nullptr;
  }
  return std::make_unique<WideString>(node.attributeValues[index]);
}
