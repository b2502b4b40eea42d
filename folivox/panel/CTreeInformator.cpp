#include "panel/CTreeInformator.h"

#include "base/Trace.h"

bool16 CTreeInformator::ApplyDataToWidget(const NodeID&, IPanelControlData*, std::int32_t) {
  folivox::Trace("Did not overload CTreeInformator::ApplyDataToWidget.\n");
  return kTrue;
}
