#pragma once

#include <layra/Export.h>
#include <layra/PMString.h>

enum AlertIcon : std::int16_t { kNoIcon = 0, kErrorIcon = 1, kWarningIcon = 3, kQuestionIcon = 4 };

namespace CAlert {
/** Shows a modal alert and returns the number of the chosen button, 1 for the first.
 *  Translatable texts are translated first. */
LAYRA_API std::int16_t ModalAlert(const PMString& message, const PMString& button1,
                                  const PMString& button2, const PMString& button3,
                                  std::int16_t defaultButton, std::int16_t iconType);
/** An alert with the single button "OK". */
LAYRA_API void InformationAlert(const PMString& message);
} // namespace CAlert
