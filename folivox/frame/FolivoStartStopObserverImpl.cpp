#include "frame/FolivoStartStopObserverImpl.h"

#include "frame/Alerts.h"
#include "frame/FolivoxIDs.h"
#include "frame/ImplementationTable.h"
#include "net/UpdateCheck.h"
#include "prefs/KCommonPreferenceTypesList.h"

#include <layra/IActionManager.h>
#include <layra/IApplication.h>
#include <layra/ISession.h>
#include <platform/Browser.h>

namespace {
folivox::RegisterImplementation<FolivoStartStopObserverImpl>
    gRegisterStartStop(kFolivoStartStopObserverImpl);
} // namespace

void FolivoStartStopObserverImpl::Startup() {
  RegisterConfigurationAddressPreference();
  AcquireConfigurationInBackground();
  OfferUpdate();
}

void FolivoStartStopObserverImpl::AcquireConfigurationInBackground() {
  ISession* session = GetExecutionContextSession();
  InterfacePtr<IApplication> application(session->QueryApplication());
  IActiveContext* context = session->GetActiveContext();
  if (!application || !context)
    return;
  InterfacePtr<IActionManager> actions(application->QueryActionManager());
  if (!actions)
    return;
  actions->PerformAction(context, kFolivoAcquireConfigurationActionID, kInvalidMousePoint, nullptr);
}

void FolivoStartStopObserverImpl::OfferUpdate() {
  if (gUpdateUrlReady.load(std::memory_order_acquire) != 1)
    return;
  if (folivox::AskYesNo("0x122500kAutoUpdateKey", kQuestionIcon))
    platform::OpenInBrowser(gUpdateUrl);
}
