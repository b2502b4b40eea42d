#pragma once

#include <layra/PMString.h>

#include <vector>

/** The text of the string-table key `key` with its n-th "%s" replaced by texts[n], or removed
 *  when there are fewer texts. An inserted text is taken as it is, "%s" in it included. */
PMString FormatAlertText(const PMString& key, const std::vector<PMString>& texts);
