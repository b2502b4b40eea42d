#include "advert/QUORAdvertisementAttrCommand.h"

#include "advert/IAdvertisementAttributes.h"
#include "base/CommandNotification.h"
#include "base/ImplementationTable.h"
#include "base/InstantiateAs.h"
#include "base/Trace.h"

#include <layra/ErrorUtils.h>
#include <layra/IPage.h>

namespace {

folivox::RegisterImplementation<QUORAdvertisementAttrCommand>
    gAdvertisementAttrCommandImpl(kQUORAdvertisementAttrCommandImpl);

} // namespace

QUORAdvertisementAttrCommand::QUORAdvertisementAttrCommand(IPMUnknown* boss) : Command(boss) {
  folivox::Trace("QUORAdvertisementAttrCommand::Init\n");
}

void QUORAdvertisementAttrCommand::Do() {
  folivox::Trace("QUORPreferenceCommand::Do( ); \n");
  const UIDList* items = GetItemList();
  InterfacePtr<IAdvertisementAttributes> data(this, UseDefaultIID());
  if (items->IsEmpty() || !data) {
    ErrorUtils::PMSetGlobalErrorCode(kFailure);
    return;
  }
  folivox::Trace("QUORPreferenceCommand::SetBPIData( ); \n");
  for (std::int32_t i = 0; i < items->Length(); ++i) {
    if (InterfacePtr<IAdvertisementAttributes> attributes =
            folivox::InstantiateAs<IAdvertisementAttributes>(items->GetRef(i)))
      attributes->SetAttributeText(data->GetAttributeText());
  }
  folivox::Trace("Everything is ok!\n");
}

void QUORAdvertisementAttrCommand::DoNotify() {
  folivox::Trace("QUORPreferenceCommand::DoNotify( ); \n");
  folivox::NotifyFirstItemChanged<IAdvertisementAttributes, IPageItem>(
      *this, kAdvertisementAttributesChangedMessage);
  // Observers of the document hear of it too, without attaching to every page item.
  folivox::BroadcastFirstItemChanged<IAdvertisementAttributes, IPageItem>(
      *this, kAdvertisementAttributesChangedMessage);
}

PMString QUORAdvertisementAttrCommand::CreateName() {
  folivox::Trace("QUORPreferenceCommand::CreateName( ); \n");
  return PMString("alamakota", PMString::kDontTranslateDuringCall);
}
