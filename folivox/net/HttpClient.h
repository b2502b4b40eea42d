#pragma once
// A small HTTP client for short text answers, such as the update server's.

#include <curl/curl.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

/**
 * GETs "http://" + host + path with basic authentication and copies the body into `out`,
 * keeping at most outCapacity - 1 bytes and always terminating it. The connection must be
 * made within connectTimeoutMs (5000 when 0) and the whole exchange within 60 s.
 *
 * True when a complete answer with a 2xx status arrived. Otherwise false with `out` empty:
 * an error page is no answer, whatever its body holds, and an answer that broke off part-way
 * could have its last record cut short, which would then be read as a complete one.
 *
 * Setting `stop`, from any thread, makes the exchange give up within about a second, or not
 * start; that too is no answer.
 */
bool HttpGetText(const char* host, const char* user, const char* password, const char* path,
                 char* out, std::size_t outCapacity, std::uint32_t connectTimeoutMs,
                 const std::atomic<bool>* stop = nullptr);

/**
 * Makes `request` go through the user's proxy when one is configured and enabled, bypassing
 * it for the hosts the user excluded; otherwise makes it connect directly, whatever the
 * environment says. False when `request` is null or libcurl refused an option.
 */
bool ApplySystemProxy(CURL* request);
