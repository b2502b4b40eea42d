#include "publish/UrlPassword.h"

#include <algorithm>
#include <optional>

namespace {

struct PasswordSpan {
  std::int32_t position;
  std::int32_t length;
};

std::int32_t SchemeLength(const PMString& url) {
  if (url.Contains(PMString("ftp:", PMString::kDontTranslateDuringCall)))
    return 5;
  if (url.Contains(PMString("http:", PMString::kDontTranslateDuringCall)))
    return 6;
  return 0;
}

std::optional<PasswordSpan> FindPassword(const PMString& url) {
  const std::int32_t from = std::min(SchemeLength(url), url.CharCount() - 1);
  const std::int32_t colon =
      url.IndexOfString(PMString(":", PMString::kDontTranslateDuringCall), from);
  const std::int32_t at =
      url.IndexOfString(PMString("@", PMString::kDontTranslateDuringCall), from);
  if (colon < 0 || at < 0 || colon > at)
    return std::nullopt;
  return PasswordSpan{colon + 1, at - colon - 1};
}

} // namespace

PMString GetUrlPassword(const PMString& url) {
  const std::optional<PasswordSpan> span = FindPassword(url);
  if (!span)
    return PMString("", PMString::kDontTranslateDuringCall);
  return url.Substring(span->position, span->length);
}

PMString SetUrlPassword(const PMString& url, const PMString& password) {
  PMString result(url);
  result.SetTranslatable(false);
  const std::optional<PasswordSpan> span = FindPassword(url);
  if (!span)
    return result;
  result.Remove(span->position, span->length);
  result.Insert(password, span->position);
  return result;
}

PMString MaskUrlPassword(const PMString& url) {
  if (GetUrlPassword(url).IsEmpty()) {
    PMString unchanged(url);
    unchanged.SetTranslatable(false);
    return unchanged;
  }
  return SetUrlPassword(url, PMString(kMaskedUrlPassword, PMString::kDontTranslateDuringCall));
}
