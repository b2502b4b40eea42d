#include "HostImplementations.h"

#include <cstdio>
#include <cstdlib>

namespace layra {

void RegisterHostImplementations(ObjectModel& model, PluginID host,
                                 std::initializer_list<ImplementationRecord> records) {
  for (const ImplementationRecord& record : records) {
    if (model.RegisterImplementation(host, record))
      continue;
    std::fprintf(stderr, "layra: the host's implementation 0x%X is refused\n", record.id.Get());
    std::abort();
  }
}

} // namespace layra
