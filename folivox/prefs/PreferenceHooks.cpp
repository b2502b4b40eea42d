#include "prefs/PreferenceHooks.h"

PreferenceDisplayHook gPreferenceDisplayHook = nullptr;
PreferenceSecretHook gPreferenceSecretHook = nullptr;
PreferenceApplyHook gPreferenceApplyHook = nullptr;
PreferencesClosedHook gPreferencesClosedHook = nullptr;
PreferenceTestHook gPreferenceTestHook = nullptr;
