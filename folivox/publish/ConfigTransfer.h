#pragma once
// One download of the configuration file.

#include <curl/curl.h>

#include <optional>
#include <string>

/** Fetches `url` into the file `path`, replacing it; libcurl's result. An answer with an HTTP
 *  status of 400 or more is a failed transfer. Nullopt, after a line on standard output, when
 *  the file cannot be created: nothing was transferred then. */
std::optional<CURLcode> DownloadConfigurationFile(const std::string& url, const std::string& path);
