#include "InProcessController.h"

#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"

#include <layra/IObjectModel.h>
#include <layra/ISession.h>

namespace folivox::test {
namespace {

InterfacePtr<IActionComponent> AssembleController(bool preferencesAssembled) {
  auto& model = layra::ObjectModel::Instance();
  bool registered = false;
  for (auto* entry = ImplementationTableHead(); entry; entry = entry->next) {
    if (entry->record.id == kFolivoActionComponentImpl)
      registered = model.RegisterImplementation(kFolivoPluginID, entry->record);
  }
  if (!preferencesAssembled || !registered)
    return {};
  model.AddClass({kFolivoActionComponentBoss,
                  kInvalidClass,
                  "kFolivoActionComponentBoss",
                  kFolivoPluginID,
                  {{IID_IACTIONCOMPONENT, kFolivoActionComponentImpl}}});
  return InterfacePtr<IActionComponent>(static_cast<IActionComponent*>(
      CreateObject(kFolivoActionComponentBoss, IID_IACTIONCOMPONENT)));
}

} // namespace

InProcessController::InProcessController(const std::filesystem::path& home)
    : fHost(home), fComponent(AssembleController(fHost.Assembled())) {}

FolivoActionComponent* InProcessController::Controller() const {
  return static_cast<FolivoActionComponent*>(fComponent.get());
}

void InProcessController::Perform(ActionID action) {
  fComponent->DoAction(GetExecutionContextSession()->GetActiveContext(), action, kInvalidMousePoint,
                       nullptr);
}

} // namespace folivox::test
