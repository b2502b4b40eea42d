#pragma once
// Texts put into a URL exactly as they are, whatever characters they hold.

#include <string>
#include <string_view>

/** `text` with every byte except A-Z a-z 0-9 - . _ ~ written as %XX. */
std::string PercentEncode(std::string_view text);
