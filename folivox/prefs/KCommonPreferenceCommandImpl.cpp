#include "prefs/KCommonPreferenceCommandImpl.h"

#include "base/CommandNotification.h"
#include "base/ImplementationTable.h"
#include "base/InstantiateAs.h"
#include "prefs/ICommonPreferenceData.h"

#include <layra/ErrorUtils.h>
#include <layra/IDataBase.h>
#include <layra/IWorkspace.h>

namespace {

folivox::RegisterImplementation<KCommonPreferenceCommandImpl>
    gCommonPreferenceCommandImpl(kCommonPreferenceCommandImpl);

} // namespace

void KCommonPreferenceCommandImpl::Do() {
  const UIDList* items = GetItemList();
  InterfacePtr<ICommonPreferenceData> data(this, UseDefaultIID());
  if (items->IsEmpty() || !data) {
    ErrorUtils::PMSetGlobalErrorCode(kFailure);
    return;
  }
  for (std::int32_t i = 0; i < items->Length(); ++i) {
    InterfacePtr<ICommonPreferenceData> store =
        folivox::InstantiateAs<ICommonPreferenceData>(items->GetRef(i));
    if (!store)
      continue;
    // CopyFrom takes over the reference it is given.
    InterfacePtr<ICommonPreferenceData> handedOver(data);
    store->CopyFrom(handedOver.forget());
  }
}

void KCommonPreferenceCommandImpl::DoNotify() {
  folivox::NotifyFirstItemChanged<ICommonPreferenceData, IWorkspace>(*this,
                                                                     kPreferenceDataChangedMessage);
}

PMString KCommonPreferenceCommandImpl::CreateName() {
  return PMString("alamakota", PMString::kDontTranslateDuringCall);
}
