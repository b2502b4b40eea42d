#pragma once
// Every preference the plug-in offers in its preferences panel: the key it is
// stored under, its label, its group, how it is edited and, for choices, what
// the user sees and what is stored.

#include <layra/PMString.h>

#include <cstdint>
#include <memory>
#include <vector>

class ICommonPreferenceData;
class NodeID;
class PnlTrvDataNode;

constexpr std::int32_t kPreferenceTypeGroup = 0;
// Types 2 and 3 are edited as plain text too.
constexpr std::int32_t kPreferenceTypeText = 1;
constexpr std::int32_t kPreferenceTypeChoice = 4;
constexpr std::int32_t kPreferenceTypeFolder = 5;

/** Whether a preference of `type` is edited in the edit box: types 1 to 3 and folders. */
constexpr bool IsTextPreferenceType(std::int32_t type) {
  return (type >= kPreferenceTypeText && type <= 3) || type == kPreferenceTypeFolder;
}

// The stored values of a yes/no preference.
constexpr const char kPreferencesTrueValue[] = "kPreferencesTrueValue";
constexpr const char kPreferencesFalseValue[] = "kPreferencesFalseValue";

class KCommonPreferenceTypesList {
public:
  /** Registers a preference. The identifier is stored with a trailing ':' like every key,
   *  the label key is translated now; choices are kept only when both lists are given. */
  void AddPreference(const PMString& identifier, const PMString& labelKey, const PMString& group,
                     std::int32_t type, const std::vector<PMString>* displayChoices,
                     const std::vector<PMString>* valueChoices);

  /** Identifiers match with or without their trailing ':'. */
  bool HasIdentifier(const PMString& identifier) const;
  std::vector<PMString> GetIdentifiers() const;
  std::vector<PMString> GetLabels() const;
  std::vector<PMString> GetGroups() const;
  std::vector<std::int32_t> GetTypes() const;
  /** The choices of the first preference registered as `identifier`; empty when there is
   *  none or it has no choices. */
  std::vector<PMString> GetDisplayChoices(const PMString& identifier) const;
  std::vector<PMString> GetValueChoices(const PMString& identifier) const;

  /** The stored value of `key` in the application workspace's store; null when it is not
   *  stored or the store cannot be reached. */
  static std::unique_ptr<PMString> GetPreference(const PMString& key);
  /** Puts the value `entered` that the preferences page's visited row of `visited` holds into
   *  `data`, as the apply hook lets it; nothing when the row asks to store nothing. */
  static void SetPreference(const PnlTrvDataNode& visited, const PMString& entered,
                            ICommonPreferenceData& data);

private:
  struct Preference {
    PMString identifier;
    PMString label;
    PMString group;
    std::int32_t type;
    std::vector<PMString> displayChoices;
    std::vector<PMString> valueChoices;
  };

  const Preference* Find(const PMString& identifier) const;

  std::vector<Preference> fPreferences;
};

/** The plug-in's preferences, made when the library loads and never destroyed. */
extern KCommonPreferenceTypesList* gPreferenceTypes;

/** Registers the address of the configuration file, a text preference. */
void RegisterConfigurationAddressPreference();
