#include "publish/ConfigurationAddress.h"

#include "base/Alerts.h"
#include "base/Trace.h"
#include "prefs/PreferenceAccess.h"
#include "prefs/PreferenceHooks.h"
#include "publish/ConnectionCheck.h"
#include "publish/UrlPassword.h"

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

// Whether `edited` shows the password of `stored` as the panel masks it.
bool KeepsStoredPassword(const PMString& stored, const PMString& edited) {
  return !GetUrlPassword(stored).IsEmpty() &&
         GetUrlPassword(edited).GetUTF8String() == kMaskedUrlPassword;
}

} // namespace

std::int32_t AddressDisplayHook(PMString identifier, PMString stored, PMString* shown) {
  if (!IsConfigurationAddress(identifier) || !shown)
    return kPreferenceHookKeepValue;
  *shown = MaskUrlPassword(stored);
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
  return !KeepsStoredPassword(stored, edited);
}

void TestConnectionHook(const std::vector<std::pair<PMString, PMString>>& rows) {
  InterfacePtr<ICommonPreferenceData> store(GetPrefrenceData());
  const std::unique_ptr<PMString> stored =
      store ? store->GetValue(PMString("FolivoHTTP", PMString::kDontTranslateDuringCall)) : nullptr;
  PMString address = stored ? *stored : PMString();
  for (const auto& [identifier, edited] : rows) {
    if (!IsConfigurationAddress(identifier))
      continue;
    address = KeepsStoredPassword(address, edited) ? SetUrlPassword(edited, GetUrlPassword(address))
                                                   : edited;
  }
  const std::vector<CheckStep> steps = CheckConnection(address.GetUTF8String(), Shown::kOnScreen);
  folivox::ShowReport(
      PMString("Test connection\n" + CheckText(steps), PMString::kDontTranslateDuringCall),
      CheckPassed(steps) ? kNoIcon : kErrorIcon);
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
  // A password typed anew replaces the stored one.
  if (!KeepsStoredPassword(stored, edited)) {
    gConfigurationAddressChanged = true;
    return kPreferenceHookKeepValue;
  }
  // The password still shows as the panel masked it: keep the stored one.
  *output = SetUrlPassword(edited, storedPassword);
  folivox::Trace("Password = [%s], [%s]\n", Masked(*output).GrabCString(),
                 Masked(stored).GrabCString());
  gConfigurationAddressChanged = !(*output == stored);
  return kPreferenceHookUseOutput;
}
