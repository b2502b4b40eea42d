#include "prefs/KCommonPreferenceTypesList.h"

#include "base/Trace.h"
#include "prefs/ICommonPreferenceData.h"
#include "prefs/PreferenceAccess.h"
#include "prefs/PreferenceKey.h"

#include <utility>

// Left alive at exit: code running during shut-down may still ask about preferences.
KCommonPreferenceTypesList* gPreferenceTypes = new KCommonPreferenceTypesList();

void KCommonPreferenceTypesList::AddPreference(const PMString& identifier, const PMString& labelKey,
                                               const PMString& group, std::int32_t type,
                                               const std::vector<PMString>* displayChoices,
                                               const std::vector<PMString>* valueChoices) {
  Preference preference{PreferenceKey(identifier), labelKey, group, type, {}, {}};
  preference.label.Translate();
  if (displayChoices && valueChoices) {
    preference.displayChoices = *displayChoices;
    preference.valueChoices = *valueChoices;
  }
  fPreferences.push_back(std::move(preference));
}

bool KCommonPreferenceTypesList::HasIdentifier(const PMString& identifier) const {
  return Find(identifier) != nullptr;
}

std::vector<PMString> KCommonPreferenceTypesList::GetIdentifiers() const {
  std::vector<PMString> identifiers;
  for (const Preference& preference : fPreferences)
    identifiers.push_back(preference.identifier);
  return identifiers;
}

std::vector<PMString> KCommonPreferenceTypesList::GetLabels() const {
  std::vector<PMString> labels;
  for (const Preference& preference : fPreferences)
    labels.push_back(preference.label);
  return labels;
}

std::vector<PMString> KCommonPreferenceTypesList::GetGroups() const {
  std::vector<PMString> groups;
  for (const Preference& preference : fPreferences)
    groups.push_back(preference.group);
  return groups;
}

std::vector<std::int32_t> KCommonPreferenceTypesList::GetTypes() const {
  std::vector<std::int32_t> types;
  for (const Preference& preference : fPreferences)
    types.push_back(preference.type);
  return types;
}

std::vector<PMString>
KCommonPreferenceTypesList::GetDisplayChoices(const PMString& identifier) const {
  const Preference* preference = Find(identifier);
  return preference ? preference->displayChoices : std::vector<PMString>{};
}

std::vector<PMString>
KCommonPreferenceTypesList::GetValueChoices(const PMString& identifier) const {
  const Preference* preference = Find(identifier);
  return preference ? preference->valueChoices : std::vector<PMString>{};
}

std::unique_ptr<PMString> KCommonPreferenceTypesList::GetPreference(const PMString& key) {
  InterfacePtr<ICommonPreferenceData> data(GetPrefrenceData());
  if (!data) {
    folivox::Trace("KCommonPreferenceTypesList::GetPreference: GetPrefrenceData returned nil!\n");
    return nullptr;
  }
  return data->GetValue(key);
}

const KCommonPreferenceTypesList::Preference*
KCommonPreferenceTypesList::Find(const PMString& identifier) const {
  const PMString key = PreferenceKey(identifier);
  for (const Preference& preference : fPreferences) {
    if (preference.identifier == key)
      return &preference;
  }
  return nullptr;
}

void RegisterConfigurationAddressPreference() {
  const PMString identifier("FolivoHTTP", PMString::kDontTranslateDuringCall);
  // The list outlives a host: one started again in the same process finds the row there, and
  // a second entry would show the address twice in the preferences.
  if (!gPreferenceTypes || gPreferenceTypes->HasIdentifier(identifier))
    return;
  gPreferenceTypes->AddPreference(identifier, PMString("0x122500kFolivoHTTPPreferenceKey"),
                                  PMString(), kPreferenceTypeText, nullptr, nullptr);
}
