#pragma once
// Reading the update server's answer.

#include <optional>
#include <string>
#include <string_view>

/** True when the server says it has no records for this installation. */
bool IsNoRecordsAnswer(std::string_view answer);

/**
 * The address of the last usable "$URL=" record: from just after the marker to the next
 * carriage return or line feed, or to the end of the answer for a final record without one.
 * Usable means an http or https address with a host part and no space or control character;
 * an empty record, or one naming anything else, is passed over and leaves an earlier address
 * in place. `pause` runs once per scanned position so that reading a long answer leaves the
 * processor to the host.
 */
std::optional<std::string> FindUpdateAddress(std::string_view answer, void (*pause)());
