#pragma once
// Where the preferences panel lets the rest of the plug-in step in: what a stored value looks
// like on screen, whether an edited one holds a secret in clear, what an edited one is stored
// as, and what happens when the panel closes.
// Each hook is null until the publishing controller installs it. Identifiers carry their
// trailing ':'; texts are passed as copies.

#include <layra/IPMUnknown.h>
#include <layra/PMString.h>

#include <cstdint>
#include <utility>
#include <vector>

/** Results of the display and apply hooks. */
constexpr std::int32_t kPreferenceHookKeepValue = 1000;    // show the stored or store the new text
constexpr std::int32_t kPreferenceHookUseOutput = 1001;    // show or store the output text
constexpr std::int32_t kPreferenceHookStoreNothing = 1002; // keep the previous value

/** (identifier, stored value, output text) */
using PreferenceDisplayHook = std::int32_t (*)(PMString, PMString, PMString*);
/** (identifier, previous value, new text, output text) */
using PreferenceApplyHook = std::int32_t (*)(PMString, PMString, PMString, PMString*);
/** (identifier, stored value, edited text) -> whether the text holds a secret in clear (one
 *  the user typed, not the one the display hook masked), which the editor then shows as
 *  bullets and the row masked. */
using PreferenceSecretHook = bool (*)(PMString, PMString, PMString);
/** (identifier and text of every row edited so far): tests the connection the rows as typed
 *  describe, before they are stored. */
using PreferenceTestHook = void (*)(const std::vector<std::pair<PMString, PMString>>&);
/** (the panel's dialog controller); the result is ignored. */
using PreferencesClosedHook = std::int32_t (*)(IPMUnknown*);

extern PreferenceDisplayHook gPreferenceDisplayHook;
extern PreferenceSecretHook gPreferenceSecretHook;
extern PreferenceApplyHook gPreferenceApplyHook;
extern PreferencesClosedHook gPreferencesClosedHook;
extern PreferenceTestHook gPreferenceTestHook;
