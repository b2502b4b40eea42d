#include "publish/AlertText.h"

PMString FormatAlertText(const PMString& key, const std::vector<PMString>& texts) {
  PMString text(key);
  text.SetTranslatable(true);
  text.Translate();
  const PMString placeholder("%s", PMString::kDontTranslateDuringCall);
  std::size_t next = 0;
  for (std::int32_t at = text.IndexOfString(placeholder); at >= 0;) {
    const PMString filler = next < texts.size() ? texts[next] : PMString();
    ++next;
    text.Remove(at, placeholder.CharCount());
    text.Insert(filler, at);
    at = text.IndexOfString(placeholder, at + filler.CharCount());
  }
  return text;
}
