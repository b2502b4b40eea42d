#pragma once
// The configuration address as the preferences panel shows and stores it. The panel shows the
// password as a fixed run of bullets, so that neither a glance at the screen nor a screenshot
// gives it away, and the address is stored with the password in clear, as the download needs
// it: bullets left as they are keep the stored password.

#include <layra/PMString.h>

#include <cstdint>
#include <utility>
#include <vector>

/** The identifier the configuration address is stored under, with its trailing ':'. */
inline constexpr const char kConfigurationAddressIdentifier[] = "FolivoHTTP:";

/** Set when the panel stored a different configuration address; the next closing of the
 *  panel then downloads the configuration again. */
extern bool gConfigurationAddressChanged;

/** For the configuration address: the address with its password masked, and
 *  kPreferenceHookUseOutput. kPreferenceHookKeepValue for every other preference. */
std::int32_t AddressDisplayHook(PMString identifier, PMString stored, PMString* shown);

/** For the configuration address: whether `edited` holds a password in clear, that is any
 *  password but the stored one as the panel masks it, also while it is being typed and the
 *  '@' after it is not yet there. False for every other preference. */
bool AddressShowsPassword(PMString identifier, PMString stored, PMString edited);

/** Tests the connection of the configuration address as typed among `rows` (the stored one
 *  when it was not edited) and shows each step's line in one report. */
void TestConnectionHook(const std::vector<std::pair<PMString, PMString>>& rows);

/** Turns the address as the panel shows it back into the one to store, and notes whether the
 *  address changed. */
std::int32_t AddressApplyHook(PMString identifier, PMString stored, PMString edited,
                              PMString* output);
