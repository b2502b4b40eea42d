// The preferences page is built from its view resource.

#include "base/ImplementationTable.h"
#include "prefs/PreferencePanelIDs.h"

#include <layra/IPanelCreator.h>

namespace {

class KCommonPreferenceDialogCreator : public CPanelCreator {
public:
  explicit KCommonPreferenceDialogCreator(IPMUnknown* boss) : CPanelCreator(boss) {}
  RsrcID GetPanelRsrcID() const override { return kCommonPreferencesPanelRsrcID; }
};

folivox::RegisterImplementation<KCommonPreferenceDialogCreator>
    gRegisterCreator(kCommonPreferenceDialogCreatorImpl);

} // namespace
