#pragma once

#include <string>
#include <string_view>

namespace XMLUtils {
/** `text` as it may stand between tags or inside a quoted attribute: "&", "<", ">" and '"'
 *  become entities; every other byte, UTF-8 included, is kept. */
std::string EscapeText(std::string_view text);
} // namespace XMLUtils
