#pragma once
// One download of the configuration file.

#include <curl/curl.h>

#include <string>

/** What a configuration address answered. */
struct ConfigurationAnswer {
  /** libcurl's result. An HTTP answer other than 2xx is CURLE_HTTP_RETURNED_ERROR, an answer
   *  larger than 16 MiB CURLE_FILESIZE_EXCEEDED. */
  CURLcode result = CURLE_OK;
  /** The file; empty unless the download succeeded, so that nothing of a failed one is kept. */
  std::string bytes;
  /** HTTP's status code, and its line without the protocol: "404 Not Found". 0 and empty for
   *  other protocols and when no answer came. */
  long status = 0;
  std::string statusLine;
  /** Where a redirection sends the client; empty without one. */
  std::string movedTo;
};

/** Fetches the configuration at `url` into memory; the file is written by whoever trusts it. */
ConfigurationAnswer FetchConfiguration(const std::string& url);
