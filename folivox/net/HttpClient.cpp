#include "net/HttpClient.h"

#include "base/CHandles.h"

#include <platform/Proxy.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

namespace {

constexpr std::uint32_t kDefaultConnectTimeoutMs = 5000;
// The update worker is detached, and the plug-in's shut-down stops it; this only stops a
// server that goes quiet from holding its thread and connection for the rest of the session.
constexpr long kTransferTimeoutMs = 60000;
constexpr const char* kUserAgent = "WinHTTP Example/1.0";

// The caller's buffer, filled from the front with room kept for the terminator.
struct BodyBuffer {
  char* text;
  std::size_t capacity;
  std::size_t length;
};

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* context) {
  auto* body = static_cast<BodyBuffer*>(context);
  const std::size_t received = size * count;
  const std::size_t kept = std::min(received, body->capacity - 1 - body->length);
  std::memcpy(body->text + body->length, data, kept);
  body->length += kept;
  body->text[body->length] = '\0';
  // Claiming the whole chunk, kept or not, lets the answer finish: anything less makes
  // libcurl abandon the transfer.
  return received;
}

// libcurl calls this while it waits as well as while data moves, about once a second at the
// least; anything but 0 ends the transfer.
int StopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return stop != nullptr && static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

CURLcode FirstFailure(std::initializer_list<CURLcode> results) {
  for (const CURLcode result : results) {
    if (result != CURLE_OK) {
      return result;
    }
  }
  return CURLE_OK;
}

CURLcode Configure(CURL* request, const std::string& url, const char* user, const char* password,
                   long connectTimeoutMs, BodyBuffer& body, const std::atomic<bool>* stop) {
  return FirstFailure({
      curl_easy_setopt(request, CURLOPT_URL, url.c_str()),
      curl_easy_setopt(request, CURLOPT_PROTOCOLS_STR, "http"),
      curl_easy_setopt(request, CURLOPT_HTTPGET, 1L),
      curl_easy_setopt(request, CURLOPT_USERAGENT, kUserAgent),
      curl_easy_setopt(request, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC)),
      curl_easy_setopt(request, CURLOPT_USERNAME, user),
      curl_easy_setopt(request, CURLOPT_PASSWORD, password),
      curl_easy_setopt(request, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs),
      curl_easy_setopt(request, CURLOPT_TIMEOUT_MS, kTransferTimeoutMs),
      // Time-outs must not be signalled: this runs on a worker thread.
      curl_easy_setopt(request, CURLOPT_NOSIGNAL, 1L),
      curl_easy_setopt(request, CURLOPT_WRITEFUNCTION, &AppendBody),
      curl_easy_setopt(request, CURLOPT_WRITEDATA, &body),
      curl_easy_setopt(request, CURLOPT_NOPROGRESS, 0L),
      curl_easy_setopt(request, CURLOPT_XFERINFOFUNCTION, &StopWhenAsked),
      curl_easy_setopt(request, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(stop)),
  });
}

CURLcode Perform(CURL* request, const char* host, const char* user, const char* password,
                 const char* path, long connectTimeoutMs, BodyBuffer& body,
                 const std::atomic<bool>* stop) {
  const std::string url = std::string("http://") + host + path;
  const CURLcode configured = Configure(request, url, user, password, connectTimeoutMs, body, stop);
  if (configured != CURLE_OK) {
    return configured;
  }
  if (!ApplySystemProxy(request)) {
    return CURLE_BAD_FUNCTION_ARGUMENT;
  }
  const CURLcode performed = curl_easy_perform(request);
  if (performed != CURLE_OK) {
    return performed;
  }
  // An error page may hold anything, even a "$URL=" record; only a success is an answer.
  long status = 0;
  curl_easy_getinfo(request, CURLINFO_RESPONSE_CODE, &status);
  return status >= 200 && status <= 299 ? CURLE_OK : CURLE_HTTP_RETURNED_ERROR;
}

} // namespace

bool HttpGetText(const char* host, const char* user, const char* password, const char* path,
                 char* out, std::size_t outCapacity, std::uint32_t connectTimeoutMs,
                 const std::atomic<bool>* stop) {
  if (out == nullptr || outCapacity == 0)
    return false;
  out[0] = '\0';
  if (host == nullptr || path == nullptr || user == nullptr || password == nullptr ||
      (stop != nullptr && stop->load()))
    return false;
  const long connectTimeout = connectTimeoutMs != 0 ? connectTimeoutMs : kDefaultConnectTimeoutMs;
  BodyBuffer body{out, outCapacity, 0};
  const CurlEasyHandle request(curl_easy_init());
  const CURLcode result =
      request ? Perform(request.get(), host, user, password, path, connectTimeout, body, stop)
              : CURLE_FAILED_INIT;
  // A failure is not reported: the only caller prints nothing but its own two lines, and the
  // server's name is not for standard output.
  if (result != CURLE_OK) {
    out[0] = '\0';
    return false;
  }
  return true;
}

bool ApplySystemProxy(CURL* request) {
  if (request == nullptr) {
    return false;
  }
  const platform::ProxySettings settings = platform::ReadProxySettings();
  const bool useProxy =
      settings.serverRead && settings.overrideRead && settings.enableRead && settings.enable != 0;
  if (!useProxy) {
    // An empty proxy also stops libcurl from taking one from the environment on its own.
    return curl_easy_setopt(request, CURLOPT_PROXY, "") == CURLE_OK;
  }
  return curl_easy_setopt(request, CURLOPT_PROXY, settings.server.c_str()) == CURLE_OK &&
         curl_easy_setopt(request, CURLOPT_NOPROXY, settings.bypass.c_str()) == CURLE_OK;
}
