#include "panel/CTreeInformator.h"

#include <cstdio>

bool16 CTreeInformator::ApplyDataToWidget(const NodeID&, IPanelControlData*, std::int32_t) {
  std::printf("Did not overload CTreeInformator::ApplyDataToWidget.\n");
  return kTrue;
}
