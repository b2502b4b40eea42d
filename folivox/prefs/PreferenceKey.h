#pragma once

#include <layra/PMString.h>

/** The form a preference name is stored under: ending in ':' and never translated, so that
 *  "FolivoHTTP" and "FolivoHTTP:" name the same setting. */
PMString PreferenceKey(const PMString& name);
