// Folivox with two more preferences in a group, registered when the host starts, so that tests
// reach the preferences page's group rows and its choice and folder editors.

#include "base/ImplementationTable.h"
#include "prefs/KCommonPreferenceTypesList.h"

#include <layra/IStartupShutdownService.h>

namespace {

class PreferencesProbe : public CPMUnknown<IStartupShutdownService> {
public:
  explicit PreferencesProbe(IPMUnknown* boss) : CPMUnknown<IStartupShutdownService>(boss) {}

  void Startup() override {
    const std::vector<PMString> displays{PMString("Fast"), PMString("Slow")};
    const std::vector<PMString> values{PMString("f"), PMString("s")};
    gPreferenceTypes->AddPreference(PMString("ProbeMode"), PMString("Mode"),
                                    PMString("Probe group"), kPreferenceTypeChoice, &displays,
                                    &values);
    gPreferenceTypes->AddPreference(PMString("ProbeFolder"), PMString("Folder"),
                                    PMString("Probe group"), kPreferenceTypeFolder, nullptr,
                                    nullptr);
  }
  void Shutdown() override {}
};

folivox::RegisterImplementation<PreferencesProbe> gRegisterProbe(ImplementationID{0x1225F0});

} // namespace
