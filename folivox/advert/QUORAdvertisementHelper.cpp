#include "advert/QUORAdvertisementHelper.h"

#include "advert/IAdvertisementAttributes.h"
#include "base/InstantiateAs.h"

#include <layra/CmdUtils.h>

#include <algorithm>

namespace {

InterfacePtr<IAdvertisementAttributes> AttributesOf(const UIDList& items, std::int32_t index) {
  return folivox::InstantiateAs<IAdvertisementAttributes>(items.GetRef(index));
}

} // namespace

bool16 QUORAdvertisementHelper::HasAttributes(const UIDList& items) {
  for (std::int32_t i = 0; i < items.Length(); ++i) {
    if (AttributesOf(items, i))
      return kTrue;
  }
  return kFalse;
}

void QUORAdvertisementHelper::CollectValues(const UIDList& items, const PMString& key,
                                            K2Vector<PMString>& values) {
  for (std::int32_t i = 0; i < items.Length(); ++i) {
    InterfacePtr<IAdvertisementAttributes> attributes = AttributesOf(items, i);
    const PMString* value = attributes ? attributes->GetValue(key) : nullptr;
    if (value && std::find(values.begin(), values.end(), *value) == values.end())
      values.push_back(*value);
  }
}

void QUORAdvertisementHelper::SetValues(const UIDList& items, const PMString& key,
                                        const PMString& value) {
  for (std::int32_t i = 0; i < items.Length(); ++i) {
    if (InterfacePtr<IAdvertisementAttributes> attributes = AttributesOf(items, i))
      attributes->SetValue(key, value);
  }
}

void QUORAdvertisementHelper::KeepItemsWithAttributes(UIDList& items) {
  for (std::int32_t i = items.Length() - 1; i >= 0; --i) {
    if (!AttributesOf(items, i))
      items.Remove(i);
  }
}

ErrorCode QUORAdvertisementHelper::ApplyAttributeText(const UIDList& items, const PMString& text) {
  if (items.IsEmpty())
    return kFailure;
  InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kQuorAdvertisementAttrCommandBoss));
  InterfacePtr<IAdvertisementAttributes> data(command, UseDefaultIID());
  if (!command || !data)
    return kFailure;
  data->SetAttributeText(text);
  command->SetItemList(items);
  return CmdUtils::ProcessCommand(command);
}
