#include "publish/ConfigTransfer.h"

#include "base/CHandles.h"

#include <algorithm>
#include <string_view>
#include <strings.h>

namespace {

// The configuration download blocks the host's main thread while it runs.
constexpr long kTimeoutSeconds = 5;

// Far above any real configuration; an answer this long is something else, and is not let
// fill the memory while it arrives, however it is cut into pieces.
constexpr std::size_t kLargestConfiguration = 16u << 20;

struct Received {
  ConfigurationAnswer& answer;
  bool tooLarge = false;
};

std::size_t Keep(char* data, std::size_t size, std::size_t count, void* context) {
  auto* received = static_cast<Received*>(context);
  const std::size_t bytes = size * count;
  if (bytes > kLargestConfiguration - received->answer.bytes.size()) {
    received->tooLarge = true;
    return 0;
  }
  received->answer.bytes.append(data, bytes);
  return bytes;
}

// Each status line replaces the one before: an interim "100 Continue" is not the answer.
std::size_t KeepStatusLine(char* data, std::size_t size, std::size_t count, void* context) {
  auto* received = static_cast<Received*>(context);
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    const std::size_t start = std::min(line.find(' '), line.size());
    const std::size_t end = line.find_last_not_of("\r\n");
    received->answer.statusLine =
        end == std::string_view::npos || end < start ? "" : line.substr(start + 1, end - start);
  }
  return size * count;
}

// Sets options until libcurl refuses one; the refusal is the transfer's result.
class Options {
public:
  explicit Options(CURL* curl) : fCurl(curl) {}

  template <class Value> Options& Set(CURLoption option, Value value) {
    if (fCode == CURLE_OK)
      fCode = curl_easy_setopt(fCurl, option, value);
    return *this;
  }
  CURLcode Result() const { return fCode; }

private:
  CURL* fCurl;
  CURLcode fCode = CURLE_OK;
};

CURLcode Configure(CURL* curl, const std::string& url, Received& received) {
  return Options(curl)
      .Set(CURLOPT_URL, url.c_str())
      .Set(CURLOPT_VERBOSE, 0L)
      .Set(CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED))
      .Set(CURLOPT_NOPROGRESS, 1L)
      .Set(CURLOPT_TIMEOUT, kTimeoutSeconds)
      // An answer that says how long it is can be refused before it comes.
      .Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kLargestConfiguration))
      .Set(CURLOPT_WRITEFUNCTION, &Keep)
      .Set(CURLOPT_WRITEDATA, &received)
      .Set(CURLOPT_HEADERFUNCTION, &KeepStatusLine)
      .Set(CURLOPT_HEADERDATA, &received)
      .Result();
}

// HTTP's status and where a redirection points; other protocols have neither.
void ReadStatus(CURL* curl, ConfigurationAnswer& answer) {
  const char* scheme = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_SCHEME, &scheme) != CURLE_OK || !scheme ||
      strncasecmp(scheme, "http", 4) != 0 ||
      curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status) != CURLE_OK) {
    answer.status = 0;
    answer.statusLine.clear();
    return;
  }
  if (answer.statusLine.empty() && answer.status != 0)
    answer.statusLine = std::to_string(answer.status);
  const char* movedTo = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &movedTo) == CURLE_OK && movedTo)
    answer.movedTo = movedTo;
}

// Only an HTTP answer of 2xx carries the file: an error page, a redirection or any other
// answer must not replace the last good configuration.
CURLcode Outcome(const ConfigurationAnswer& answer, CURLcode performed, bool tooLarge) {
  if (answer.status != 0 && (answer.status < 200 || answer.status > 299))
    return CURLE_HTTP_RETURNED_ERROR;
  return tooLarge ? CURLE_FILESIZE_EXCEEDED : performed;
}

} // namespace

ConfigurationAnswer FetchConfiguration(const std::string& url) {
  ConfigurationAnswer answer;
  const CurlEasyHandle curl(curl_easy_init());
  if (!curl) {
    answer.result = CURLE_FAILED_INIT;
    return answer;
  }
  Received received{answer};
  CURLcode performed = Configure(curl.get(), url, received);
  if (performed == CURLE_OK)
    performed = curl_easy_perform(curl.get());
  ReadStatus(curl.get(), answer);
  answer.result = Outcome(answer, performed, received.tooLarge);
  if (answer.result != CURLE_OK)
    answer.bytes = std::string();
  return answer;
}
