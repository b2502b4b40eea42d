#include "prefs/PreferenceHooks.h"

PreferenceDisplayHook gPreferenceDisplayHook = nullptr;
PreferenceApplyHook gPreferenceApplyHook = nullptr;
PreferencesClosedHook gPreferencesClosedHook = nullptr;
