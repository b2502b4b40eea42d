#include "frame/FolivoStartStopObserverImpl.h"

#include "base/ActionRequests.h"
#include "base/Alerts.h"
#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"
#include "net/UpdateCheck.h"
#include "prefs/KCommonPreferenceTypesList.h"

#include <platform/Browser.h>

namespace {
folivox::RegisterImplementation<FolivoStartStopObserverImpl>
    gRegisterStartStop(kFolivoStartStopObserverImpl);
} // namespace

void FolivoStartStopObserverImpl::Startup() {
  RegisterConfigurationAddressPreference();
  // The controller downloads the configuration; the action also publishes the controller.
  folivox::PerformActionInActiveContext(kFolivoAcquireConfigurationActionID);
  OfferUpdate();
}

void FolivoStartStopObserverImpl::OfferUpdate() {
  if (gUpdateUrlReady.load(std::memory_order_acquire) != 1)
    return;
  if (folivox::AskYesNo("0x122500kAutoUpdateKey", kQuestionIcon))
    platform::OpenInBrowser(gUpdateUrl);
}
