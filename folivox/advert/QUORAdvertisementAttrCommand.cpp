#include "advert/QUORAdvertisementAttrCommand.h"

#include "advert/IAdvertisementAttributes.h"
#include "frame/ImplementationTable.h"

#include <layra/ErrorUtils.h>
#include <layra/IPage.h>
#include <layra/ISubject.h>

#include <cstdio>

namespace {

folivox::RegisterImplementation<QUORAdvertisementAttrCommand>
    gAdvertisementAttrCommandImpl(kQUORAdvertisementAttrCommandImpl);

InterfacePtr<IAdvertisementAttributes> AttributesOf(const UIDRef& item) {
  return InterfacePtr<IAdvertisementAttributes>(
      static_cast<IAdvertisementAttributes*>(item.Instantiate(IID_IADVERTISEMENTATTRIBUTES)));
}

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
    if (InterfacePtr<IAdvertisementAttributes> attributes = AttributesOf(items->GetRef(i)))
      attributes->SetAttributeText(data->GetAttributeText());
  }
  std::fputs("Everything is ok!\n", stdout);
}

void QUORAdvertisementAttrCommand::DoNotify() {
  std::fputs("QUORPreferenceCommand::DoNotify( ); \n", stdout);
  const UIDList* items = GetItemList();
  if (items->IsEmpty())
    return;
  InterfacePtr<IAdvertisementAttributes> attributes = AttributesOf(items->GetRef(0));
  InterfacePtr<IPageItem> pageItem(attributes, UseDefaultIID());
  InterfacePtr<ISubject> subject(attributes, UseDefaultIID());
  if (!pageItem || !subject)
    return;
  subject->ModelChange(kAdvertisementAttributesChangedMessage, IID_IADVERTISEMENTATTRIBUTES,
                       static_cast<ICommand*>(this));
}

PMString QUORAdvertisementAttrCommand::CreateName() {
  std::fputs("QUORPreferenceCommand::CreateName( ); \n", stdout);
  return PMString("alamakota", PMString::kDontTranslateDuringCall);
}
