#include "advert/QUORAdvertisementAttrCommand.h"

#include "advert/IAdvertisementAttributes.h"
#include "frame/CommandNotification.h"
#include "frame/ImplementationTable.h"
#include "frame/InstantiateAs.h"

#include <layra/ErrorUtils.h>
#include <layra/IPage.h>

#include <cstdio>

namespace {

folivox::RegisterImplementation<QUORAdvertisementAttrCommand>
    gAdvertisementAttrCommandImpl(kQUORAdvertisementAttrCommandImpl);

} // namespace

QUORAdvertisementAttrCommand::QUORAdvertisementAttrCommand(IPMUnknown* boss) : Command(boss) {
  std::fputs("QUORAdvertisementAttrCommand::Init\n", stdout);
}

void QUORAdvertisementAttrCommand::Do() {
  std::fputs("QUORPreferenceCommand::Do( ); \n", stdout);
  const UIDList* items = GetItemList();
  InterfacePtr<IAdvertisementAttributes> data(this, UseDefaultIID());
  if (items->IsEmpty() || !data) {
    ErrorUtils::PMSetGlobalErrorCode(kFailure);
    return;
  }
  std::fputs("QUORPreferenceCommand::SetBPIData( ); \n", stdout);
  for (std::int32_t i = 0; i < items->Length(); ++i) {
    if (InterfacePtr<IAdvertisementAttributes> attributes =
            folivox::InstantiateAs<IAdvertisementAttributes>(items->GetRef(i)))
      attributes->SetAttributeText(data->GetAttributeText());
  }
  std::fputs("Everything is ok!\n", stdout);
}

void QUORAdvertisementAttrCommand::DoNotify() {
  std::fputs("QUORPreferenceCommand::DoNotify( ); \n", stdout);
  folivox::NotifyFirstItemChanged<IAdvertisementAttributes, IPageItem>(
      *this, kAdvertisementAttributesChangedMessage);
  // Observers of the document hear of it too, without attaching to every page item.
  folivox::BroadcastFirstItemChanged<IAdvertisementAttributes, IPageItem>(
      *this, kAdvertisementAttributesChangedMessage);
}

PMString QUORAdvertisementAttrCommand::CreateName() {
  std::fputs("QUORPreferenceCommand::CreateName( ); \n", stdout);
  return PMString("alamakota", PMString::kDontTranslateDuringCall);
}
