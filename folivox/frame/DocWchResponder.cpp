#include "frame/DocWchResponder.h"

#include "base/ActionRequests.h"
#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"
#include "base/Trace.h"
#include "panel/FolivoTreeInformator.h"
#include "publish/FolivoActionComponent.h"

#include <layra/ISignalMgr.h>

namespace {
folivox::RegisterImplementation<DocWchResponder> gRegisterResponder(kDocWchResponderImpl);
} // namespace

void DocWchResponder::Respond(ISignalMgr* signalManager) {
  const ServiceID service = signalManager->GetServiceID();
  InterfacePtr<IDocumentSignalData> data(signalManager, UseDefaultIID());
  if (!data)
    return;
  const UIDRef document = data->GetDocument();
  if (service == kAfterOpenDocSignalResponderService)
    AfterOpen(document);
  else if (service == kBeforeSaveDocSignalResponderService)
    BeforeSave();
  else if (service == kAfterSaveAsDocSignalResponderService)
    AfterSaveAs(document);
}

bool DocWchResponder::IsReady() {
  if (sharedActionComponent && gFolivoTreeInformator)
    return true;
  folivox::Trace("sharedActionComponent has not been initialized.\n");
  return false;
}

void DocWchResponder::AfterOpen(const UIDRef& document) {
  // The internal action runs the controller's prologue, which publishes the controller.
  folivox::PerformActionInActiveContext(kFolivoInternalActionID);
  if (!IsReady())
    return;
  sharedActionComponent->ParseDocumentNameOf(&document);
  gFolivoTreeInformator->LoadPageStatuses(&document);
}

void DocWchResponder::BeforeSave() {
  if (!IsReady())
    return;
  gFolivoTreeInformator->StorePageStatuses(nullptr);
  sharedActionComponent->SendPages(SendOrigin::kBeforeSave);
}

void DocWchResponder::AfterSaveAs(const UIDRef& document) {
  if (!IsReady())
    return;
  gPageListDirty = true;
  gFolivoTreeInformator->LoadPageStatuses(&document);
}
