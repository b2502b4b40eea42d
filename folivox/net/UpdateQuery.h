#pragma once
// The question the update check puts to the update server: who and what is asking.

#include "net/UpdateServer.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

/** Size of the buffer QueryUpdateServer fills, terminator included. */
inline constexpr std::size_t kUpdateResponseCapacity = 24576;

/** A version such as "1, 0, 2" as "1.0.2": spaces dropped, commas turned into dots. */
std::string DottedVersion(std::string_view versionText);

/**
 * Asks `server` about this installation and leaves its answer in `out`, which must hold
 * kUpdateResponseCapacity bytes. An empty `domain` is replaced by this machine's official
 * host name. True when there is no answer (no network, no host name, the query failed or
 * would be too long, or `stop` was set), with `out` empty; false when `out` holds the answer.
 */
bool QueryUpdateServer(const char* appName, const char* userName, const char* domain, char* out,
                       const char* versionText, const char* buildText, const UpdateServer& server,
                       const std::atomic<bool>* stop = nullptr);
