#include "advert/QUORAdvertisementCBS.h"

#include "advert/QUORAdvertisementHelper.h"
#include "base/Trace.h"

#include <layra/ISelectionTargets.h>

UIDList QUORAdvertisementCBS::TargetItems() {
  UIDList items;
  GetTargetItems(items);
  return items;
}

bool16 QUORAdvertisementCBS::CanApplyAttributes() {
  const UIDList items = TargetItems();
  return !items.IsEmpty() && QUORAdvertisementHelper().HasAttributes(items);
}

ErrorCode QUORAdvertisementCBS::ApplyAttributeText(const PMString& text) {
  UIDList items = TargetItems();
  QUORAdvertisementHelper helper;
  helper.KeepItemsWithAttributes(items);
  if (items.IsEmpty())
    return kFailure;
  return helper.ApplyAttributeText(items, text);
}

bool16 QUORAdvertisementCBS::CanGetAttributes() {
  return CanApplyAttributes();
}

void QUORAdvertisementCBS::GetAttributeValues(PMString& key, K2Vector<PMString>& values) {
  const UIDList items = TargetItems();
  if (!items.IsEmpty())
    QUORAdvertisementHelper().CollectValues(items, key, values);
}

void QUORAdvertisementCBS::GetTargetItemList(UIDList* items) {
  const UIDList targets = TargetItems();
  if (items && !targets.IsEmpty())
    *items = targets;
}

void QUORAdvertisementCBS::SetAttributeValue(PMString& key, PMString& value) {
  const UIDList items = TargetItems();
  if (!items.IsEmpty())
    QUORAdvertisementHelper().SetValues(items, key, value);
}

bool16 QUORAdvertisementCBS::GetTextSelection(int32* start, int32* end) {
  if (!start || !end) {
    folivox::Trace("QUORAdvertisementCBS::GetTextSelection: param0 or param1 is NULL.\n");
    return kFalse;
  }
  InterfacePtr<ITextTarget> target(this, UseDefaultIID());
  InterfacePtr<ITextFocus> focus(target ? target->QueryTextFocus() : nullptr);
  if (!focus || !focus->IsValid())
    return kFalse;
  *start = focus->GetStart();
  *end = focus->GetEnd();
  return *start >= 0;
}
