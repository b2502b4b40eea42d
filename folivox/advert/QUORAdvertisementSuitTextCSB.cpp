#include "advert/QUORAdvertisementSuitTextCSB.h"

#include "base/ImplementationTable.h"

#include <layra/ISelectionTargets.h>
#include <layra/ITextModel.h>

namespace {
folivox::RegisterImplementation<QUORAdvertisementSuitTextCSB>
    gAdvertisementSuitTextImpl(kQUORAdvertisementSuitTextCSBImpl);
} // namespace

void QUORAdvertisementSuitTextCSB::GetTargetItems(UIDList& items) {
  items = UIDList();
  InterfacePtr<ITextTarget> target(this, UseDefaultIID());
  if (!target)
    return;
  const UIDRef story = target->GetStory();
  items = UIDList(story.GetDataBase());
  InterfacePtr<ITextModel> model(target->QueryTextModel());
  InterfacePtr<ITextFocus> focus(target->QueryTextFocus());
  if (!model || !focus || focus->GetStart() == -1)
    return;
  InterfacePtr<IParcelList> parcels(model->QueryParcelList(focus->GetStart()));
  if (!parcels)
    return;
  const ParcelKey first = parcels->GetParcelContaining(focus->GetStart());
  if (first == kInvalidParcel)
    return;
  const ParcelKey last = focus->GetEnd() == -1 ? parcels->GetLastParcel()
                                               : parcels->GetParcelContaining(focus->GetEnd());
  for (ParcelKey key = first; key != kInvalidParcel; key = parcels->GetNextParcel(key)) {
    const UID item =
        LayoutUtils::GetOwnerPageItem(UIDRef(story.GetDataBase(), parcels->GetParcelFrameUID(key)));
    if (item != kInvalidUID)
      items.Append(item);
    if (key == last)
      break;
  }
}
