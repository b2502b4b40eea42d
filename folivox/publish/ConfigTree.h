#pragma once
// Lookups in the configuration tree by element and attribute name. Names compare exactly,
// case included.

#include "publish/ConfigNode.h"

#include <layra/WideString.h>

#include <memory>
#include <vector>

/** Copies of the direct children of `node` called `name`, in file order. */
std::vector<ConfigNode> FindChildren(const ConfigNode& node, const WideString& name);
/** `node` itself when it is called `name`, else its first direct child called so, else null. */
const ConfigNode* FindChild(const ConfigNode& node, const WideString& name);
/** The value of the attribute `name` of `node`; null when it has none. */
std::unique_ptr<WideString> GetAttribute(const ConfigNode& node, const WideString& name);
