#pragma once
// The preview variants a configuration asks for: one JPEG per page and variant.

#include "publish/ConfigNode.h"

#include <vector>

/** Low, medium and high quality, for a configuration that names no variant. */
std::vector<PreviewQuality> DefaultPreviewVariants();

/** The variants of the PREVQUALITY children of `root`, in file order. An element that lacks
 *  one of its attributes or whose numbers are unusable is left out, with a line on standard
 *  output naming it; when no element is usable, the defaults. */
std::vector<PreviewQuality> ReadPreviewVariants(const ConfigNode& root);
