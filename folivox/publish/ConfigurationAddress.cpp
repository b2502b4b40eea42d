#include "publish/ConfigurationAddress.h"

#include "prefs/PreferenceHooks.h"
#include "publish/Base64.h"
#include "publish/UrlPassword.h"

#include <cstdio>
#include <optional>
#include <string>

bool gConfigurationAddressChanged = false;

namespace {

bool IsConfigurationAddress(const PMString& identifier) {
  return identifier.GetUTF8String() == kConfigurationAddressIdentifier;
}

// Addresses go to standard output without their password.
PMString Masked(const PMString& url) {
  return SetUrlPassword(url, PMString("***", PMString::kDontTranslateDuringCall));
}

} // namespace

std::int32_t AddressDisplayHook(PMString identifier, PMString stored, PMString* shown) {
  if (!IsConfigurationAddress(identifier) || !shown)
    return kPreferenceHookKeepValue;
  *shown = EncodeUrlPassword(stored);
  return kPreferenceHookUseOutput;
}

bool AddressShowsPassword(PMString identifier, PMString stored, PMString edited) {
  if (!IsConfigurationAddress(identifier))
    return false;
  const PMString password = GetUrlPassword(edited);
  if (password.IsEmpty()) {
    // A login being typed shows its password before the '@' that ends it; a '/' after the
    // colon makes it a port and a path instead.
    PMString completed(edited);
    completed.Append("@");
    const std::string pending = GetUrlPassword(completed).GetUTF8String();
    return !pending.empty() && pending.find('/') == std::string::npos;
  }
  const PMString storedPassword = GetUrlPassword(stored);
  const std::optional<std::string> decoded = Base64Decode(password.GetUTF8String());
  return storedPassword.IsEmpty() || !decoded || *decoded != storedPassword.GetUTF8String();
}

std::int32_t AddressApplyHook(PMString identifier, PMString stored, PMString edited,
                              PMString* output) {
  if (!IsConfigurationAddress(identifier) || !output)
    return kPreferenceHookKeepValue;
  // A first address, or one with a password typed anew, is a change like any other: closing
  // the dialog downloads from it.
  if (stored.IsEmpty()) {
    gConfigurationAddressChanged = gConfigurationAddressChanged || !edited.IsEmpty();
    return kPreferenceHookKeepValue;
  }
  if (edited == stored) {
    gConfigurationAddressChanged = true;
    return kPreferenceHookStoreNothing;
  }
  const PMString storedPassword = GetUrlPassword(stored);
  const PMString editedPassword = GetUrlPassword(edited);
  if (storedPassword == editedPassword) {
    gConfigurationAddressChanged = true;
    return kPreferenceHookKeepValue;
  }
  // The password still shows as the panel encoded it: store it in clear.
  const std::optional<std::string> decoded = Base64Decode(editedPassword.GetUTF8String());
  if (!decoded || *decoded != storedPassword.GetUTF8String()) {
    gConfigurationAddressChanged = true;
    return kPreferenceHookKeepValue;
  }
  *output = SetUrlPassword(edited, PMString(*decoded, PMString::kDontTranslateDuringCall));
  std::printf("Password = [%s], [%s]\n", Masked(*output).GrabCString(),
              Masked(stored).GrabCString());
  gConfigurationAddressChanged = !(*output == stored);
  return kPreferenceHookUseOutput;
}
