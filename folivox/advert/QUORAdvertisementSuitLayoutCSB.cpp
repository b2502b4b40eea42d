#include "advert/QUORAdvertisementSuitLayoutCSB.h"

#include "base/ImplementationTable.h"

#include <layra/ISelectionTargets.h>

namespace {
folivox::RegisterImplementation<QUORAdvertisementSuitLayoutCSB>
    gAdvertisementSuitLayoutImpl(kQUORAdvertisementSuitLayoutCSBImpl);
} // namespace

void QUORAdvertisementSuitLayoutCSB::GetTargetItems(UIDList& items) {
  InterfacePtr<ILayoutTarget> target(this, UseDefaultIID());
  items = target ? target->GetUIDList() : UIDList();
}
