#pragma once
// One download of the configuration file.

#include <curl/curl.h>

#include <optional>
#include <string>

/** Fetches `url` into the file `path`, replacing it; libcurl's result. An HTTP answer other
 *  than 2xx, and an answer larger than 16 MB, are failed transfers. Nullopt, after a line on
 * standard output, when the file cannot be created: nothing was transferred then. */
std::optional<CURLcode> DownloadConfigurationFile(const std::string& url, const std::string& path);
