#pragma once

#include <layra/Export.h>
#include <string>
#include <string_view>

namespace XMLUtils {
/** `text` as it may stand between tags and read back byte for byte: "&", "<", ">", '"' and
 *  carriage returns become references; every other byte, UTF-8 included, is kept. */
LAYRA_API std::string EscapeText(std::string_view text);
/** `text` as it may stand inside a double-quoted attribute and read back byte for byte: as
 *  EscapeText, and line feeds and tabs become references too. */
LAYRA_API std::string EscapeAttribute(std::string_view text);
} // namespace XMLUtils
