#include "HostImplementations.h"

#include <cstdio>
#include <stdexcept>

namespace layra {

void RegisterHostImplementations(ObjectModel& model, PluginID host,
                                 std::initializer_list<ImplementationRecord> records) {
  for (const ImplementationRecord& record : records) {
    if (model.RegisterImplementation(host, record))
      continue;
    char text[64];
    std::snprintf(text, sizeof text, "the host's implementation 0x%X is refused", record.id.Get());
    throw std::logic_error(text);
  }
}

} // namespace layra
