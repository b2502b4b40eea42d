#include "base/Alerts.h"

namespace folivox {

namespace {
// Two buttons, the first the default; true when the user chose the first.
bool AskFirst(const PMString& text, const char* first, const char* second, std::int16_t iconType) {
  return CAlert::ModalAlert(text, PMString(first), PMString(second), PMString(), 1, iconType) == 1;
}
} // namespace

void ShowReport(const PMString& text, std::int16_t iconType) {
  CAlert::ModalAlert(text, PMString("OK"), PMString(), PMString(), 1, iconType);
}

void ShowReport(const char* key, std::int16_t iconType) {
  ShowReport(PMString(key), iconType);
}

void ShowPlainReport(const char* text, std::int16_t iconType) {
  ShowReport(PMString(text, PMString::kDontTranslateDuringCall), iconType);
}

bool AskYesNo(const PMString& text, std::int16_t iconType) {
  return AskFirst(text, "Yes", "No", iconType);
}

bool AskYesNo(const char* key, std::int16_t iconType) {
  return AskYesNo(PMString(key), iconType);
}

bool AskOkOrNo(const char* key, std::int16_t iconType) {
  return AskFirst(PMString(key), "OK", "No", iconType);
}

} // namespace folivox
