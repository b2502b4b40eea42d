#include "frame/PlugIn.h"

#include "frame/ImplementationTable.h"

#include <layra/IImplementationRegistry.h>
#include <layra/ISession.h>

namespace {
std::string& ResourceFile() {
  static std::string path;
  return path;
}
} // namespace

PlugIn& ThePlugIn() {
  static PlugIn plugIn;
  return plugIn;
}

void RecordResourceFile(const std::string& path) {
  ResourceFile() = path;
}

std::string PlugIn::GetResourceFile() const {
  return ResourceFile();
}

bool PlugIn::RegisterImplementations(PluginID id) {
  InterfacePtr<IImplementationRegistry> registry(GetExecutionContextSession(), UseDefaultIID());
  if (!registry)
    return false;
  for (const folivox::RegistrationRecord* entry = folivox::ImplementationTableHead(); entry;
       entry = entry->next) {
    const ImplementationRecord& r = entry->record;
    registry->RegisterImplementation(id, r.id, r.create, r.destroy, r.size, r.persist, r.reserved,
                                     r.reservedFlags);
  }
  return true;
}
