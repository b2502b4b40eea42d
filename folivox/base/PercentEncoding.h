#pragma once
// Texts put into a URL exactly as they are, whatever characters they hold, and taken out of it
// again.

#include <string>
#include <string_view>

/** `text` with every byte except A-Z a-z 0-9 - . _ ~ written as %XX. */
std::string PercentEncode(std::string_view text);
/** `text` with every %XX (two hexadecimal digits) replaced by the byte it stands for, unless
 *  that byte is a control character; any other "%" stays as it is. */
std::string PercentDecode(std::string_view text);
