#pragma once
// The XML manifest that describes one page's previews to the server.

#include "publish/ConfigNode.h"

#include <optional>
#include <string>
#include <vector>

struct PreviewEntry {
  std::string fileName;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

/** The manifest's bytes: UTF-8, lines ended by a carriage return alone, nothing after
 *  "</root>". `ready` is empty while the page list does not exist. `previews` holds one entry
 *  per variant, in the variants' order. */
std::string BuildManifest(const std::string& macText, const std::string& userName,
                          std::optional<bool> ready, const std::vector<PreviewQuality>& variants,
                          const std::vector<PreviewEntry>& previews);
/** A scale in plain decimal, as short as it stays exact: 0.5, 1, 2.25. */
std::string FormatScale(float scale);
