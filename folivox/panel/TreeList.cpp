#include "panel/TreeList.h"

#include "base/ImplementationTable.h"
#include "base/Trace.h"
#include "panel/ITreeInformator.h"

namespace {
folivox::RegisterImplementation<TreeListAdapter> gRegisterAdapter(kTreeListAdapterImpl);
folivox::RegisterImplementation<TreeListManager> gRegisterManager(kTreeListManagerImpl);

InterfacePtr<ITreeInformator> QueryInformator(const IPMUnknown* widget) {
  InterfacePtr<ITreeInformator> informator(widget, UseDefaultIID());
  if (!informator)
    folivox::Trace(
        "Could not get this tree ITreeInformator. This ListView will not display anything.\n");
  return informator;
}
} // namespace

std::int32_t TreeListAdapter::GetNumListItems() const {
  InterfacePtr<ITreeInformator> informator(QueryInformator(this));
  return informator ? informator->CountPages() : 0;
}

void TreeListManager::RegisterStyles() {
  InterfacePtr<ITreeInformator> informator(QueryInformator(this));
  if (informator)
    RegisterStyleWidget(informator->GetRowStyle(), informator->GetRowWidgetRsrcID(),
                        kFolivoPluginID);
}

bool16 TreeListManager::ApplyDataToWidget(const NodeID& node, IPanelControlData* widgetList,
                                          std::int32_t message) const {
  InterfacePtr<ITreeInformator> informator(QueryInformator(this));
  if (informator)
    informator->ApplyDataToWidget(node, widgetList, message);
  return kTrue;
}
