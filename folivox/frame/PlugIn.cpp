#include "frame/PlugIn.h"

#include "frame/ImplementationTable.h"
#include "net/UpdateCheck.h"

#include <vector>

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
  std::vector<ImplementationRecord> records;
  for (const folivox::RegistrationRecord* entry = folivox::ImplementationTableHead(); entry;
       entry = entry->next)
    records.push_back(entry->record);
  return RegisterRecords(id, records);
}

void PlugIn::Unload() {
  // Past the wait the worker is abandoned: it holds nothing the host saves.
  WaitForUpdateCheck(kUpdateCheckShutdownWait);
}
