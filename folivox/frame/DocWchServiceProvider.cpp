#include "frame/DocWchServiceProvider.h"

#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"

namespace {
folivox::RegisterImplementation<DocWchServiceProvider>
    gRegisterProvider(kDocWchServiceProviderImpl);
} // namespace

// Before-save-as is left out on purpose: the name a document is saved under is only
// known once the save is done.
DocWchServiceProvider::DocWchServiceProvider(IPMUnknown* boss)
    : CPMUnknown<IK2ServiceProvider>(boss), fServiceIDs{kAfterSaveAsDocSignalResponderService,
                                                        kBeforeCloseDocSignalResponderService,
                                                        kAfterOpenDocSignalResponderService,
                                                        kBeforeSaveDocSignalResponderService} {}

void DocWchServiceProvider::GetName(PMString* name) {
  *name = PMString("DocWatch Responder Service");
}

void DocWchServiceProvider::GetServiceIDs(std::vector<ServiceID>& serviceIDs) {
  serviceIDs.insert(serviceIDs.end(), fServiceIDs.begin(), fServiceIDs.end());
}
