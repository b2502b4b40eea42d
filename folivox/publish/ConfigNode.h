#pragma once
// The configuration file as a tree of elements, and one preview variant.

#include <layra/PMString.h>
#include <layra/WideString.h>

#include <cstdint>
#include <vector>

struct ConfigNode {
  std::vector<WideString> attributeNames;
  std::vector<WideString> attributeValues;
  WideString name;
  /** The value of the element's first child node; empty when it has none. */
  WideString text;
  std::vector<ConfigNode> children;
};

struct PreviewQuality {
  float xScale = 1;
  float yScale = 1;
  float resolution = 72;
  /** 0 (lowest) to 3, the host's JPEG quality levels. */
  std::int32_t jpegQuality = 0;
  PMString suffix;
};
