#pragma once
// Every alert of the plug-in is raised from a string-table key; the buttons
// are plain texts and the first one is the default.

#include <layra/CAlert.h>

namespace folivox {

/** One "OK" button. */
void ShowReport(const char* key, std::int16_t iconType);
void ShowReport(const PMString& text, std::int16_t iconType);
/** One "OK" button; `text` is shown as it is, not looked up in the string table. */
void ShowPlainReport(const char* text, std::int16_t iconType);
/** "Yes" and "No"; true when the user chose "Yes". */
bool AskYesNo(const char* key, std::int16_t iconType);
bool AskYesNo(const PMString& text, std::int16_t iconType);
/** "OK" and "No"; true when the user chose "OK". */
bool AskOkOrNo(const char* key, std::int16_t iconType);

} // namespace folivox
