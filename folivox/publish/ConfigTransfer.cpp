#include "publish/ConfigTransfer.h"

#include "base/Trace.h"
#include "base/CHandles.h"

#include <layra/StreamUtil.h>

#include <cstdio>
#include <memory>
#include <strings.h>

namespace {

// The configuration download blocks the host's main thread while it runs.
constexpr long kTimeoutSeconds = 5;

// Far above any real configuration; an answer this long is something else, and is not let
// fill the disk while it arrives.
constexpr std::size_t kLargestConfiguration = 16u << 20;

struct Target {
  IPMStream* file;
  std::size_t written = 0;
  bool tooLarge = false;
};

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* context) {
  auto* target = static_cast<Target*>(context);
  const std::size_t bytes = size * count;
  if (bytes > kLargestConfiguration - target->written) {
    target->tooLarge = true;
    return 0;
  }
  target->written += bytes;
  return target->file->XferByte(reinterpret_cast<unsigned char*>(data), bytes);
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

CURLcode Configure(CURL* curl, const std::string& url) {
  return Options(curl)
      .Set(CURLOPT_URL, url.c_str())
      .Set(CURLOPT_VERBOSE, 0L)
      .Set(CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED))
      .Set(CURLOPT_NOPROGRESS, 1L)
      .Set(CURLOPT_TIMEOUT, kTimeoutSeconds)
      // Without it an error page would arrive as a "successful" download and replace the
      // last good configuration.
      .Set(CURLOPT_FAILONERROR, 1L)
      .Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kLargestConfiguration))
      .Set(CURLOPT_WRITEFUNCTION, &WriteToFile)
      .Result();
}

// Only an HTTP answer of 2xx carries the file; a redirection or any other answer leaves the
// last good configuration in place. Other protocols have no such codes.
CURLcode CheckAnswer(CURL* curl) {
  const char* scheme = nullptr;
  long status = 0;
  if (curl_easy_getinfo(curl, CURLINFO_SCHEME, &scheme) != CURLE_OK || !scheme ||
      curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
    return CURLE_HTTP_RETURNED_ERROR;
  const bool http = strncasecmp(scheme, "http", 4) == 0;
  return http && (status < 200 || status > 299) ? CURLE_HTTP_RETURNED_ERROR : CURLE_OK;
}

// Flushing writes out what is still buffered; a file that could not be completed is as good
// as no download.
CURLcode Close(IPMStream& file, CURLcode code) {
  file.Flush();
  return code == CURLE_OK && !file.IsGood() ? CURLE_WRITE_ERROR : code;
}

} // namespace

std::optional<CURLcode> DownloadConfigurationFile(const std::string& url, const std::string& path) {
  const CurlEasyHandle curl(curl_easy_init());
  if (!curl)
    return CURLE_FAILED_INIT;
  const CURLcode configured = Configure(curl.get(), url);
  if (configured != CURLE_OK)
    return configured;
  // The file carries the FTP login, so it is the user's alone.
  const InterfacePtr<IPMStream> file(StreamUtil::CreateFileStreamWrite(
      IDFile(path), kOpenOut | kOpenTrunc | kOpenPrivate, kAnyFileType, kAnyFileType));
  if (!file) {
    folivox::Trace("Nie mozna bylo otworzyc pliku \"%s\" do zapisu.\n", path.c_str());
    return std::nullopt;
  }
  Target target{file.get()};
  CURLcode code = curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &target);
  if (code == CURLE_OK)
    code = curl_easy_perform(curl.get());
  if (target.tooLarge)
    code = CURLE_FILESIZE_EXCEEDED;
  if (code == CURLE_OK)
    code = CheckAnswer(curl.get());
  return Close(*file, code);
}
