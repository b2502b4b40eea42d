#include "PreferenceHost.h"

#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"
#include "prefs/PreferenceAccess.h"

#include <layra/CmdUtils.h>

#include <algorithm>

namespace folivox::test {
namespace {

bool AssemblePreferenceClasses() {
  auto& model = layra::ObjectModel::Instance();
  const int registered =
      RegisterFromPluginTable({kCommonPreferenceDataImpl, kCommonPreferenceCommandImpl});
  model.AddClass({kQuorPreferenceCommandBoss,
                  kInvalidClass,
                  "kQuorPreferenceCommandBoss",
                  kFolivoPluginID,
                  {{IID_ICOMMAND, kCommonPreferenceCommandImpl},
                   {IID_ICOMMONPREFERENCEDATA, kCommonPreferenceDataImpl}}});
  model.AddInterfaceToClass(kWorkspaceBoss, {IID_ICOMMONPREFERENCEDATA, kCommonPreferenceDataImpl},
                            kFolivoPluginID);
  return registered == 2;
}

} // namespace

int RegisterFromPluginTable(std::initializer_list<ImplementationID> ids) {
  int registered = 0;
  for (auto* entry = ImplementationTableHead(); entry; entry = entry->next) {
    if (std::find(ids.begin(), ids.end(), entry->record.id) != ids.end())
      registered +=
          layra::ObjectModel::Instance().RegisterImplementation(kFolivoPluginID, entry->record) ? 1
                                                                                                : 0;
  }
  return registered;
}

PreferenceHost::PreferenceHost(const std::filesystem::path& home)
    : fHost(layra::Host::Create(layra::HostOptions{home, {}, 1, layra::AlertAnswer::Default})
                .value()),
      fAssembled(AssemblePreferenceClasses()) {
  fHost->Start();
}

InterfacePtr<ICommonPreferenceData> PreferenceHost::WorkspaceStore() const {
  return InterfacePtr<ICommonPreferenceData>(static_cast<ICommonPreferenceData*>(
      fHost->Workspace().Instantiate(IID_ICOMMONPREFERENCEDATA)));
}

std::vector<PMString> PreferenceHost::StoredKeys() const {
  InterfacePtr<ICommonPreferenceData> store = WorkspaceStore();
  return store ? store->GetDictionary()->Keys() : std::vector<PMString>{};
}

ErrorCode WritePreference(const PMString& key, const PMString& value) {
  InterfacePtr<ICommonPreferenceData> current(GetPrefrenceData());
  InterfacePtr<ICommonPreferenceData> data;
  InterfacePtr<ICommand> command;
  if (!current || !GetPreferecesForWritting(data, command))
    return kFailure;
  data->CopyFrom(InterfacePtr<ICommonPreferenceData>(current).forget());
  data->SetValue(key, value);
  return CmdUtils::ProcessCommand(command);
}

} // namespace folivox::test
