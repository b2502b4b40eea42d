#pragma once

#include <layra/Export.h>
#include <string>
#include <string_view>

namespace XMLUtils {
/** `text` as it may stand between tags or inside a quoted attribute: "&", "<", ">" and '"'
 *  become entities; every other byte, UTF-8 included, is kept. */
LAYRA_API std::string EscapeText(std::string_view text);
} // namespace XMLUtils
