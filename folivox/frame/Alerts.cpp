#include "frame/Alerts.h"

namespace folivox {

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
  return CAlert::ModalAlert(text, PMString("Yes"), PMString("No"), PMString(), 1, iconType) == 1;
}

bool AskYesNo(const char* key, std::int16_t iconType) {
  return AskYesNo(PMString(key), iconType);
}

} // namespace folivox
