#pragma once
// Base64 with the standard alphabet and "=" padding, as the configuration file carries its FTP
// address and as the preferences panel masks a password.

#include <optional>
#include <string>
#include <string_view>

/** The encoding of `bytes`, padded with "=" to a multiple of four characters. */
std::string Base64Encode(std::string_view bytes);

/** The bytes `text` encodes. White space and line breaks anywhere are skipped, since files and
 *  mail programs wrap long values; the final padding may be left out. Nullopt when `text`
 *  holds any other character outside the alphabet, data after the padding, or a length that
 *  no encoding has. */
std::optional<std::string> Base64Decode(std::string_view text);
