#include "frame/PlugIn.h"

#include "base/ImplementationTable.h"
#include "net/UpdateCheck.h"
#include "panel/FolivoDialog.h"
#include "panel/HistoryPalette.h"
#include "publish/PanelRequests.h"

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
  // The controller sits below the panels and reaches them only through these.
  gOpenPlainDialog = &OpenFolivoDialog;
  gShowRecordedSend = &RefreshHistoryPalette;
  std::vector<ImplementationRecord> records;
  for (const folivox::RegistrationRecord* entry = folivox::ImplementationTableHead(); entry;
       entry = entry->next)
    records.push_back(entry->record);
  return RegisterRecords(id, records);
}

void PlugIn::Unload() {
  // A worker still running past the wait (a host name lookup cannot be cut short) is
  // abandoned: it holds nothing the host saves.
  StopUpdateCheck(kUpdateCheckShutdownWait);
}
